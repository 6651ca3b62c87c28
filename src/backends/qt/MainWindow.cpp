// [x] paint  [x] pointer  [x] buttons  [x] keys  [x] close box  [x] minimise
#include "backends/qt/MainWindow.h"

#include "backends/qt/QtHost.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace quillon {

Key keyOf(int qtKey, Qt::KeyboardModifiers modifiers) {
    if (modifiers & (Qt::AltModifier | Qt::MetaModifier))
        return Key::Other;
    switch (qtKey) {
    case Qt::Key_A:
        return Key::A;
    case Qt::Key_B:
        return Key::B;
    case Qt::Key_C:
        return Key::C;
    case Qt::Key_F1:
        return Key::F1;
    case Qt::Key_F2:
        return Key::F2;
    default:
        return Key::Other;
    }
}

MainWindow::MainWindow(QtHost& host)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                           Qt::WindowCloseButtonHint),
      host_(host) {
    setWindowTitle(QStringLiteral("Quillon"));
    // Every pixel comes from the back buffer: no background to clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

HostEvents* MainWindow::app() const {
    return host_.events();
}

void MainWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    host_.paintWindow(painter, event->region());
}

void MainWindow::resizeEvent(QResizeEvent*) {
    if (HostEvents* events = app())
        events->onSize(false, width(), height());
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    HostEvents* events = app();
    if (event->type() != QEvent::WindowStateChange || events == nullptr)
        return;
    auto* change = static_cast<QWindowStateChangeEvent*>(event);
    if (isMinimized()) {
        events->onSize(true, width(), height());
        return;
    }
    // Coming back from minimised: the client size may have changed meanwhile.
    if (change->oldState() & Qt::WindowMinimized)
        events->onSize(false, width(), height());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The close box never ends the program; the application decides what it
    // does instead.
    event->ignore();
    if (HostEvents* events = app())
        events->onClose();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    Key key = keyOf(event->key(), event->modifiers());
    HostEvents* events = app();
    if (key == Key::Other || events == nullptr) {
        QWidget::keyPressEvent(event);
        return;
    }
    events->onKeyDown(key, (event->modifiers() & Qt::ControlModifier) != 0);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    if (HostEvents* events = app()) {
        QPoint at = event->position().toPoint();
        events->onPointerMove(at.x(), at.y());
    }
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    HostEvents* events = app();
    if (events == nullptr)
        return;
    PointerButton button;
    switch (event->button()) {
    case Qt::LeftButton:
        button = PointerButton::Left;
        break;
    case Qt::RightButton:
        button = PointerButton::Right;
        break;
    case Qt::MiddleButton:
        button = PointerButton::Middle;
        break;
    default:
        return;
    }
    QPoint at = event->position().toPoint();
    events->onButtonDown(at.x(), at.y(), button);
}

} // namespace quillon
