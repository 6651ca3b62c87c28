// [x] paint from the back buffer  [x] pointer movement and buttons  [x] keys
// [x] close box  [x] minimise and restore  [x] size changes
//
// The main window. It turns Qt's events into the application's events and
// decides nothing itself; events that arrive before the application exists
// are dropped, except size changes, which only rescale the layouts.
#pragma once

#include <QWidget>

namespace quillon {

class QtHost;

// The classic virtual-key code of a Qt key, or 0 for a key that has none
// here. Letters and digits keep their codes; F1.. map to 0x70...
int virtualKeyOf(int qtKey);

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
    QtHost& host_;
};

} // namespace quillon
