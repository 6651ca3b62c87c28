// The program in one process: the real window and host, the application, and
// a real listening socket in the test playing the controlling program. Most
// functions run offscreen; the one that needs a real tray icon runs under
// Xvfb beside trayer and is skipped elsewhere.
#include "app/SimulatorApp.h"
#include "backends/posix/TestController.h"
#include "backends/qt/MainWindow.h"
#include "backends/qt/QtHost.h"
#include "backends/qt/QtSurface.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstring>

using namespace quillon;
using quillon::testing::TestController;

namespace {

// The offscreen platform has no notification area. This host says it has
// one, so that the behaviour with a tray icon can be run there.
class HostWithTray : public QtHost {
public:
    bool hasTrayIcon() override { return true; }
};

// The menu's entries as their labels, "-" for a separator.
QStringList entries(QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu != nullptr ? menu->actions() : QList<QAction*>())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

void choose(QMenu* menu, const QString& text) {
    QVERIFY(entries(menu).contains(text));
    QAction* action = menu->actions().at(entries(menu).indexOf(text));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
}

} // namespace

class QtApplicationTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestController> controller;
    std::unique_ptr<QtHost> host;
    std::unique_ptr<SimulatorApp> app;

    static void idle() { QCoreApplication::processEvents(QEventLoop::AllEvents, 5); }

    // Starts the program as main() does, with the socket in the test's
    // directory, and lets the controller accept it when one listens.
    void start(bool pretendTray, bool listen = true, AppOptions options = {}) {
        QVERIFY(!listen || controller->listen());
        ::setenv("QUILLON_PIPE", controller->path.c_str(), 1);
        host = pretendTray ? std::make_unique<HostWithTray>() : std::make_unique<QtHost>();
        app = std::make_unique<SimulatorApp>(*host, options);
        QVERIFY(!listen || controller->accept(3000, idle));
    }

    MainWindow& window() { return host->window(); }
    const Train* train(int number) { return trainByNumber(app->world().trains, number); }

    QPoint pointOf(const char* name) {
        const Layouts& layouts = app->world().layouts;
        const Node& node = nodeAt(layouts, findNode(layouts, layouts.active, name));
        return {node.x, node.y};
    }

    // Right-clicks at p, the pointer coming from elsewhere so that what lies
    // at p is hovered afresh, and returns the menu that opens.
    QMenu* menuAt(QPoint p) {
        QTest::mouseMove(&window(), p + QPoint(30, 30));
        QTest::mouseMove(&window(), p);
        QTest::mouseClick(&window(), Qt::RightButton, {}, p);
        QMenu* menu = nullptr;
        auto opened = [&] {
            return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()));
        };
        return QTest::qWaitFor(opened) ? menu : nullptr;
    }

    void placeTrain(const char* at, int number) {
        choose(menuAt(pointOf(at)), QStringLiteral("Place Train %1").arg(number));
        QTRY_VERIFY(train(number) != nullptr);
    }

private slots:
    void init() { controller = std::make_unique<TestController>(); }

    void cleanup() {
        app.reset(); // before the host it uses
        host.reset();
    }

    // Reconnection is tried every second.
    void theWindowShowsWhileAControllerIsConnected() {
        start(true);
        controller->hangUp();
        controller->stopListening();
        QTRY_VERIFY_WITH_TIMEOUT(!window().isVisible(), 2000);
        QVERIFY(controller->listen());
        QVERIFY(controller->accept(3000, idle));
        QTRY_VERIFY(window().isVisible());
    }

    // A train placed by the user on A1 and set running over the socket
    // passes sensor 44, which the controlling program reads in a report.
    void aRunningTrainIsReported() {
        start(true);
        placeTrain("A1", 12);
        QVERIFY(controller->send({8, 12}));
        // A sensor shows in a report or two: every report is read.
        bool passed44 = false;
        for (int report = 0; report < 3000 && !passed44; ++report)
            passed44 = controller->requestReport(1000, idle).at(5) & 0x08;
        QVERIFY(passed44);
    }

    // With the full command set a controller switches a train's light on;
    // the window, as it paints itself, shows it at the train's front end.
    void theWindowShowsATrainsLight() {
        start(true, true, AppOptions{CommandSet::Full});
        placeTrain("A1", 12);
        QVERIFY(controller->send({16, 12})); // step 0, light on
        QTRY_COMPARE(train(12)->light, std::uint8_t{1});
        QPoint front(train(12)->displayX + 6,
                     train(12)->displayY); // facing SW12, to the right
        QTRY_COMPARE(window().grab().toImage().pixel(front), qRgb(255, 255, 160));
    }

    void controlCCopiesTheSwitches() {
        start(true);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QTest::keyClick(&window(), Qt::Key_C);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        QTest::keyClick(&window(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text().size(), 486);
    }

    // B9 is layout A's lowest node: 32 pixels above the window's bottom, and
    // drawn there.
    void resizingTheWindowRescalesTheFrame() {
        start(true);
        window().resize(800, 600);
        QTRY_COMPARE(app->height(), 600);
        QCOMPARE(pointOf("B9").y(), 568);
        QCOMPARE(host->backBuffer()->image().size(), QSize(800, 600));
        QTRY_COMPARE(window().grab().toImage().pixel(pointOf("B9")), qRgb(255, 255, 0));
    }

    void theWindowKeepsItsMinimumSize() {
        start(true);
        window().resize(100, 50);
        QCOMPARE(window().size(), QSize(204, 128));
    }

    void placeBehindIsASubmenu() {
        start(true);
        QMenu* menu = menuAt(pointOf("A1"));
        QVERIFY(entries(menu).contains(QStringLiteral("Place Behind")));
        QAction* behind = menu->actions().at(entries(menu).indexOf(QStringLiteral("Place Behind")));
        QVERIFY(behind->menu() != nullptr);
        menu->setActiveAction(behind);
        QTRY_VERIFY(behind->menu()->isVisible());
        choose(behind->menu(), QStringLiteral("Train 12"));
        QTRY_VERIFY(train(12) != nullptr);
        QCOMPARE(train(12)->leavesBehind, std::uint8_t{1});
    }

    // Alt with a key is the desktop's; Shift is not a shortcut.
    void layoutKeysWorkWithShiftButNotWithAlt() {
        start(true);
        QTest::keyClick(&window(), Qt::Key_B, Qt::AltModifier);
        QTest::keyClick(&window(), Qt::Key_F2, Qt::AltModifier);
        QCOMPARE(window().windowTitle(), QStringLiteral("Quillon [Track Model A]"));
        QTest::keyClick(&window(), Qt::Key_B, Qt::ShiftModifier);
        QCOMPARE(window().windowTitle(), QStringLiteral("Quillon [Track Model B]"));
        QTest::keyClick(&window(), Qt::Key_F1);
        QCOMPARE(window().windowTitle(), QStringLiteral("Quillon [Track Model A]"));
    }

    // "All Files" lists every file, names without a dot too; an existing
    // file is replaced only once the user agrees.
    void theExportDialogOffersEveryFileAndAsksBeforeOverwriting() {
        start(true);
        QStringList filters;
        bool asks = false;
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                filters = dialog->nameFilters();
                asks = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
                dialog->reject();
            }
        });
        watcher.start(10);
        choose(menuAt({5, 5}), QStringLiteral("Export"));
        QTRY_COMPARE(filters, QStringList({"Raw Track Data (*.dat)", "All Files (*)"}));
        QVERIFY(asks);
    }

    // Without a notification area the close box only minimises the window.
    void withoutATrayTheCloseBoxMinimisesTheWindow() {
        start(false, false);
        window().close();
        QTRY_VERIFY(window().isMinimized());
        QVERIFY(window().isVisible());
    }

    // A left click on the icon in the tray toggles the window like Hide and
    // Show.
    void trayIconTogglesTheWindow() {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            QSKIP("needs an X server and a tray");
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 10000);
        start(false);
        emit host->trayIcon()->activated(QSystemTrayIcon::Trigger);
        QTRY_VERIFY(!window().isVisible());
        emit host->trayIcon()->activated(QSystemTrayIcon::Trigger);
        QTRY_VERIFY(window().isVisible());
    }
};

QTEST_MAIN(QtApplicationTest)
#include "QtApplicationTest.moc"
