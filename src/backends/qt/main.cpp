// [x] entry point  [x] options  [x] window created hidden
// [x] one application object  [x] ordered teardown
// [x] SIGINT and SIGTERM end the program like Close
#include "app/SimulatorApp.h"
#include "backends/qt/QtHost.h"
#include "backends/qt/QuitOnSignal.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Help and version need no display: they are answered before Qt starts.
bool answersAtOnce(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(quillon::usageText(), stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs(quillon::versionText(), stdout);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (answersAtOnce(argc, argv))
        return 0;
    // Qt takes its own options (-platform, -display, ...) out of argv.
    QApplication qtApplication(argc, argv);
    quillon::ParsedOptions options =
        quillon::parseOptions(argc, argv, std::getenv("QUILLON_COMMANDS"));
    if (!options.ok) {
        std::fprintf(stderr, "quillon: %s\n%s", options.error, quillon::usageText());
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    // Hiding the window or closing a dialog never ends the program; only the
    // Close command does.
    QApplication::setQuitOnLastWindowClosed(false);

    quillon::QtHost host;
    quillon::QuitOnSignal endOnSignal(host);
    quillon::SimulatorApp app(host, options.app);
    return QApplication::exec();
}
