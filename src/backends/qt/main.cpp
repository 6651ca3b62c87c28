// [x] entry point  [x] window created hidden  [x] one application object
// [x] ordered teardown  [x] SIGINT and SIGTERM end the program like Close
#include "app/SimulatorApp.h"
#include "backends/qt/QtHost.h"
#include "backends/qt/QuitOnSignal.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication qtApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    // Hiding the window or closing a dialog never ends the program; only the
    // Close command does.
    QApplication::setQuitOnLastWindowClosed(false);

    quillon::QtHost host;
    quillon::QuitOnSignal endOnSignal(host);
    quillon::SimulatorApp app(host);
    return QApplication::exec();
}
