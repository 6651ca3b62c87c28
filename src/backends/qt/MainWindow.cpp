// [x] paint  [x] pointer  [x] buttons  [x] keys  [x] close box  [x] minimise
#include "backends/qt/MainWindow.h"

#include "app/SimulatorApp.h"
#include "backends/qt/QtHost.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace quillon {

int virtualKeyOf(int qtKey) {
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 0x70 + (qtKey - Qt::Key_F1);
    return 0;
}

MainWindow::MainWindow(QtHost& host)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      host_(host) {
    setWindowTitle(QStringLiteral("Quillon"));
    // Every pixel comes from the back buffer: no background to clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

void MainWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    host_.paintWindow(painter);
}

void MainWindow::resizeEvent(QResizeEvent*) {
    if (application == nullptr) {
        SimulatorApp::rescale(width(), height());
        return;
    }
    application->onSize(false, width(), height());
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || application == nullptr)
        return;
    auto* change = static_cast<QWindowStateChangeEvent*>(event);
    if (isMinimized()) {
        application->onSize(true, width(), height());
        return;
    }
    // Coming back from minimised: the client size may have changed meanwhile.
    if (change->oldState() & Qt::WindowMinimized)
        application->onSize(false, width(), height());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The close box never ends the program; the application decides what it
    // does instead.
    event->ignore();
    if (application != nullptr)
        application->onClose();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    int key = virtualKeyOf(event->key());
    if (key == 0 || application == nullptr) {
        QWidget::keyPressEvent(event);
        return;
    }
    application->onKeyDown(key, (event->modifiers() & Qt::ControlModifier) != 0);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    if (application == nullptr)
        return;
    QPoint at = event->position().toPoint();
    application->onPointerMove(at.x(), at.y());
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (application == nullptr)
        return;
    int button = -1;
    switch (event->button()) {
    case Qt::LeftButton:
        button = BUTTON_LEFT;
        break;
    case Qt::RightButton:
        button = BUTTON_RIGHT;
        break;
    case Qt::MiddleButton:
        button = BUTTON_MIDDLE;
        break;
    default:
        return;
    }
    QPoint at = event->position().toPoint();
    application->onButtonDown(at.x(), at.y(), button);
}

} // namespace quillon
