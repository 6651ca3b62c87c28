// [x] entry point  [x] options  [x] window created hidden
// [x] one application object  [x] ordered teardown
// [x] SIGINT and SIGTERM end the program like Close
#include "app/SimulatorApp.h"
#include "app/Snapshot.h"
#include "backends/posix/ControllerSocket.h"
#include "backends/posix/ReplaceFile.h"
#include "backends/qt/QtHost.h"
#include "backends/qt/QtSurface.h"
#include "backends/qt/QuitOnSignal.h"

#include <QApplication>
#include <QBuffer>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Qt's own options (-platform, -display, ...) begin with a single dash.
bool hasQtOptions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-' && argv[i][1] != '-' && std::strcmp(argv[i], "-h") != 0)
            return true;
    }
    return false;
}

// Help, version and mistakes need no display: they are answered before Qt
// starts whenever Qt has no options of its own to take out first. True when
// the program ends with status.
bool answersAtOnce(const quillon::ParsedOptions& options, int& status) {
    if (!options.ok && options.layoutUnreadable) {
        std::fprintf(stderr, "%s\n", options.error.c_str());
        status = 2;
        return true;
    }
    if (!options.ok) {
        std::fprintf(stderr, "quillon: %s\n%s", options.error.c_str(), quillon::usageText());
        status = 2;
        return true;
    }
    if (std::strlen(options.app.socketPath) > quillon::longestSocketPath()) {
        std::fprintf(stderr, "quillon: --socket path is too long: at most %zu characters\n%s",
                     quillon::longestSocketPath(), quillon::usageText());
        status = 2;
        return true;
    }
    for (const std::string& warning : options.layoutWarnings)
        std::fprintf(stderr, "%s\n", warning.c_str());
    status = 0;
    if (options.help) {
        std::fputs(quillon::usageText(), stdout);
        return true;
    }
    if (options.version) {
        std::fputs(quillon::versionText(), stdout);
        return true;
    }
    return false;
}

// True when any argument asks for a snapshot, however the options turn out.
bool asksForSnapshot(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--snapshot", 10) == 0)
            return true;
    }
    return false;
}

// Draws the snapshot and writes it as PNG; the program's exit status.
int writeSnapshot(const quillon::ParsedOptions& options) {
    const int width = options.snapshotWidth, height = options.snapshotHeight;
    quillon::QtHost host(options.app.socketPath);
    QByteArray png;
    {
        quillon::QtSurface surface(width, height);
        quillon::drawSnapshot(host, surface, options.app, width, height);
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!surface.image().save(&buffer, "PNG")) {
            std::fprintf(stderr, "quillon: the picture could not be made\n");
            return 2;
        }
    }
    const char* path = options.snapshotPath.c_str();
    if (!quillon::replaceFile(path, png.constData(), static_cast<std::size_t>(png.size()))) {
        std::fprintf(stderr, "quillon: cannot write %s\n", path);
        return 2;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const char* commandsVariable = std::getenv("QUILLON_COMMANDS");
    int status = 0;
    if (!hasQtOptions(argc, argv) &&
        answersAtOnce(quillon::parseOptions(argc, argv, commandsVariable), status))
        return status;
    // A snapshot needs no display.
    if (asksForSnapshot(argc, argv))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt takes its own options out of argv.
    QApplication qtApplication(argc, argv);
    const quillon::ParsedOptions options = quillon::parseOptions(argc, argv, commandsVariable);
    if (answersAtOnce(options, status))
        return status;
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    if (!options.snapshotPath.empty())
        return writeSnapshot(options);
    // Hiding the window or closing a dialog never ends the program; only the
    // Close command does.
    QApplication::setQuitOnLastWindowClosed(false);

    quillon::QtHost host(options.app.socketPath);
    quillon::QuitOnSignal endOnSignal(host);
    quillon::SimulatorApp app(host, options.app);
    return QApplication::exec();
}
