// [x] paint from the back buffer  [x] pointer movement and buttons  [x] keys
// [x] close box  [x] minimise and restore  [x] size changes
//
// The main window. It turns Qt's events into the application's events and
// decides nothing itself; events that arrive while no application is
// attached to the host are dropped.
#pragma once

#include "host/HostEvents.h"

#include <QWidget>

namespace quillon {

class QtHost;

// The program's key for a Qt key with its modifiers. Alt and Meta make any
// key Other, so that a shortcut of the desktop never acts in the window.
Key keyOf(int qtKey, Qt::KeyboardModifiers modifiers);

class MainWindow : public QWidget {
public:
    explicit MainWindow(QtHost& host);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    HostEvents* app() const;

    QtHost& host_;
};

} // namespace quillon
