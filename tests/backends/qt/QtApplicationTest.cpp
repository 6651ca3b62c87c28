// The program in one process: the real window and host, the application, and
// a real listening socket in the test playing the controlling program. Most
// functions run offscreen; those that need an X server (a screenshot, the
// tray icon) run under Xvfb beside trayer and are skipped elsewhere.
#include "app/MenuCommands.h"
#include "app/SimulatorApp.h"
#include "backends/posix/TestController.h"
#include "backends/qt/MainWindow.h"
#include "backends/qt/QtHost.h"
#include "backends/qt/QtSurface.h"
#include "sim/World.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <cstring>

using namespace quillon;
using quillon::testing::Bytes;
using quillon::testing::TestController;

namespace {

// The offscreen platform has no notification area. This host says it has
// one, so that the behaviour with a tray icon can be run there.
class HostWithTray : public QtHost {
public:
    bool hasTrayIcon() override { return true; }
};

void idle() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

const TrackNode& node(const World& world, const char* name) {
    const TrackLayout& layout = activeLayout(world.layouts);
    int i = 0;
    while (i < layout.nodeCount - 1 && std::strcmp(layout.nodes[i].name, name) != 0)
        ++i;
    return layout.nodes[i];
}

QPoint pointOf(const World& world, const char* name) {
    return {node(world, name).x, node(world, name).y};
}

QMenu* openMenu() {
    QMenu* menu = nullptr;
    return QTest::qWaitFor(
               [&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())); })
               ? menu
               : nullptr;
}

// The menu's entries as their labels, "-" for a separator; or the checked ones.
QStringList entries(QMenu* menu, bool checkedOnly = false) {
    QStringList texts;
    for (QAction* action : menu != nullptr ? menu->actions() : QList<QAction*>())
        if (!checkedOnly || action->isChecked())
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
    World& world() { return app->world(); }
    QPoint pointOf(const char* name) { return ::pointOf(world(), name); }
    const TrackNode& node(const char* name) { return ::node(world(), name); }
    const Train* train(int number) { return trainByNumber(world().trains, number); }

    // Clicks at p, the pointer coming from elsewhere so that what lies at p
    // is hovered afresh; with the right button, returns the menu that opens.
    QMenu* clickAt(QPoint p, Qt::MouseButton button = Qt::RightButton) {
        QTest::mouseMove(&window(), p + QPoint(30, 30));
        QTest::mouseMove(&window(), p);
        QTest::mouseClick(&window(), button, {}, p);
        return button == Qt::RightButton ? openMenu() : nullptr;
    }

    void placeTrain(const char* at, int number) {
        choose(clickAt(pointOf(at)), QStringLiteral("Place Train %1").arg(number));
        QTRY_VERIFY(train(number) != nullptr &&
                    std::strcmp(nodeAt(world().layouts, train(number)->currentNode).name, at) == 0);
    }

    bool onX() { return QGuiApplication::platformName() == QStringLiteral("xcb"); }

private slots:
    void init() { controller = std::make_unique<TestController>(); }

    void cleanup() {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        app.reset();
        host.reset();
        controller.reset();
    }

    void windowShowsWhileAControllerIsConnected() {
        start(true);
        QVERIFY(window().isVisible());
        QCOMPARE(window().windowTitle(), QStringLiteral("Quillon [Track Model A]"));
        QCOMPARE(window().size(), QSize(512, 320));

        controller->hangUp();
        controller->stopListening();
        QTRY_VERIFY_WITH_TIMEOUT(!window().isVisible(), 2000);
        // Reconnection is tried every second.
        QVERIFY(controller->listen());
        QVERIFY(controller->accept(3000, idle));
        QTRY_VERIFY(window().isVisible());
        QCOMPARE(controller->requestReport(1000, idle).size(), 10u);
    }

    // A train placed by the user on A1, set running over the socket, passes
    // sensors that the controlling program reads in its reports.
    void trainPlacedOnA1RunsAndIsReported() {
        start(true);
        placeTrain("A1", 12);
        QVERIFY(controller->send({8, 12}));
        QTRY_COMPARE(trainSpeed(world(), 12), 8);

        std::vector<int> passed;
        QElapsedTimer clock;
        clock.start();
        while (passed.size() < 3 && clock.elapsed() < 30000) {
            Bytes report = controller->requestReport(1000, idle);
            QCOMPARE(report.size(), 10u);
            // A1's own sensor 0 reads triggered until the train is 4 units
            // past it, and on a slow machine a sensor can show in two reports.
            for (int n = 1; n < 80; ++n)
                if ((report[n / 8] & (0x80 >> (n % 8))) && (passed.empty() || passed.back() != n))
                    passed.push_back(n);
            QTest::qWait(20);
        }
        QCOMPARE(passed, (std::vector<int>{44, 70, 54}));
    }

    // With the full command set a controller switches a train's light on;
    // the window shows it at the train's front end.
    void theWindowShowsATrainsLight() {
        start(true, true, AppOptions{CommandSet::Full});
        placeTrain("A1", 12);
        QVERIFY(controller->send({16, 12})); // step 0, light on
        QTRY_COMPARE(train(12)->light, std::uint8_t{1});
        QPoint front(train(12)->displayX + 6, train(12)->displayY); // facing SW12, to the right
        QTRY_COMPARE(host->backBuffer()->image().pixel(front), qRgb(255, 255, 160));
    }

    void menusShowTheirEntries() {
        start(true);
        QMenu* menu = clickAt({5, 5});
        QCOMPARE(entries(menu), QStringList({"Hide", "-", "Export", "About", "-", "Close"}));
        QCOMPARE(controller->requestReport(1000, idle).size(), 10u); // served meanwhile
        menu->close();

        menu = clickAt(pointOf("A1"));
        QStringList places;
        for (int number : PLACEABLE_TRAINS)
            places << QStringLiteral("Place Train %1").arg(number);
        QCOMPARE(entries(menu), places + QStringList({"-", "Stick Sensor"}));
        choose(menu, QStringLiteral("Place Train 52"));
        QTRY_VERIFY(train(52) != nullptr);

        // Placed, the train stands over A1 and is what a click there hits.
        QTRY_COMPARE(QPoint(train(52)->displayX, train(52)->displayY), pointOf("A1"));
        menu = clickAt(pointOf("A1"));
        QStringList speeds = {"Stop Train"};
        for (int s = 1; s <= 14; ++s)
            speeds << QStringLiteral("Train Speed %1").arg(s);
        QCOMPARE(entries(menu), speeds + QStringList({"Reverse Train", "-", "Remove Train"}));
        QCOMPARE(entries(menu, true), QStringList({"Stop Train"}));
    }

    void keysChooseTheLayoutAndControlCCopiesTheSwitches() {
        start(true);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QTest::keyClick(&window(), Qt::Key_C);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        QTest::keyClick(&window(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text().size(), 486);

        QTest::keyClick(&window(), Qt::Key_B);
        QCOMPARE(window().windowTitle(), QStringLiteral("Quillon [Track Model B]"));
        QTest::keyClick(&window(), Qt::Key_F1);
        QCOMPARE(window().windowTitle(), QStringLiteral("Quillon [Track Model A]"));
    }

    // The save dialog lists the dump files and, under "All Files", every
    // file: names without a dot too.
    void exportDialogOffersEveryFile() {
        start(true);
        QStringList filters;
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                filters = dialog->nameFilters();
                dialog->reject();
            }
        });
        watcher.start(10);
        choose(clickAt({5, 5}), QStringLiteral("Export"));
        QTRY_VERIFY(!filters.isEmpty());
        QCOMPARE(filters, QStringList({"Raw Track Data (*.dat)", "All Files (*)"}));
    }

    // Alt with a key is the desktop's; Shift is not a shortcut.
    void altKeysLeaveTheLayoutAndShiftedKeysChooseIt() {
        start(true);
        QTest::keyClick(&window(), Qt::Key_B, Qt::AltModifier);
        QTest::keyClick(&window(), Qt::Key_F2, Qt::AltModifier);
        QCOMPARE(window().windowTitle(), QStringLiteral("Quillon [Track Model A]"));
        QTest::keyClick(&window(), Qt::Key_B, Qt::ShiftModifier);
        QCOMPARE(window().windowTitle(), QStringLiteral("Quillon [Track Model B]"));
    }

    // Without a notification area nothing may hide the window for good;
    // without an audio device sounds are silent. Neither opens anything.
    void withoutTrayOrSoundTheWindowStaysReachable() {
        start(false, false);
        QVERIFY(window().isVisible());
        placeTrain("A1", 23); // a new train: chime
        placeTrain("B3", 23); // moved: horn
        const TrackNode& switchNode = node("SW1");
        int direction = switchNode.direction;
        clickAt(pointOf("SW1"), Qt::LeftButton); // switch click
        QVERIFY(switchNode.direction != direction);
        clickAt(pointOf("C13"), Qt::LeftButton); // sensor tick
        window().close();                        // the close box
        QTRY_VERIFY(window().isMinimized());
        QTest::qWait(1200); // a failed reconnection hides nothing either
        QVERIFY(window().isVisible());
        for (QWidget* widget : QApplication::topLevelWidgets())
            QVERIFY2(widget == &window() || !widget->isVisible(),
                     widget->metaObject()->className());
    }

    // Layout A as the X server shows it: the black background, yellow
    // sensor markers, and each switch's set branch route blue, the other grey.
    void screenshotShowsLayoutA() {
        if (!onX())
            QSKIP("needs an X server");
        start(false);
        QVERIFY(QTest::qWaitForWindowExposed(&window()));
        QTest::qWait(100);
        QImage shot = window()
                          .screen()
                          ->grabWindow(window().winId())
                          .toImage()
                          .convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.pixel(2, 2), qRgb(0, 0, 0));
        const TrackLayout& layout = activeLayout(world().layouts);
        int yellowSensors = 0, blueEdges = 0, greyEdges = 0;
        for (const TrackNode* n = layout.nodes; n < layout.nodes + layout.nodeCount; ++n) {
            yellowSensors += n->type == NODE_SENSOR && shot.pixel(n->x, n->y) == qRgb(255, 255, 0);
            if (n->type != NODE_SWITCH)
                continue;
            int set = n->direction == SWITCH_DIR_STRAIGHT ? EDGE_STRAIGHT : EDGE_CURVED;
            auto middle = [&](int edge) {
                const TrackNode& to = layout.nodes[n->edges[edge].dest];
                return QPoint((n->x + to.x) / 2, (n->y + to.y) / 2);
            };
            blueEdges += shot.pixel(middle(set)) == qRgb(64, 160, 255);
            greyEdges +=
                shot.pixel(middle(EDGE_STRAIGHT + EDGE_CURVED - set)) == qRgb(104, 104, 104);
        }
        QVERIFY2(yellowSensors >= 30, qPrintable(QString::number(yellowSensors)));
        QVERIFY2(blueEdges >= 12, qPrintable(QString::number(blueEdges)));
        QVERIFY2(greyEdges >= 12, qPrintable(QString::number(greyEdges)));
    }

    // The icon shows in trayer's tray, and a left click on it toggles the
    // window like Hide and Show.
    void trayIconTogglesTheWindow() {
        if (!onX())
            QSKIP("needs an X server and a tray");
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 10000);
        start(false);
        QVERIFY(host->hasTrayIcon());
        QSystemTrayIcon* tray = host->trayIcon();
        // Its red train is on the screen once the tray has embedded and painted it.
        auto redPixelsInTray = [tray] {
            QRect area = tray->geometry();
            QImage tile = QGuiApplication::primaryScreen()
                              ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                              .toImage();
            int reddish = 0;
            for (int y = 0; y < tile.height(); ++y)
                for (int x = 0; x < tile.width(); ++x)
                    reddish += qRed(tile.pixel(x, y)) > 150 && qGreen(tile.pixel(x, y)) < 90;
            return reddish;
        };
        QTRY_VERIFY_WITH_TIMEOUT(tray->geometry().isValid() && redPixelsInTray() >= 4, 10000);

        QWidget* icon = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->inherits("QSystemTrayIconSys"))
                icon = widget;
        QVERIFY(icon != nullptr && window().isVisible());
        QTest::mouseClick(icon, Qt::LeftButton);
        QTRY_VERIFY(!window().isVisible());
        QTest::mouseClick(icon, Qt::LeftButton);
        QTRY_VERIFY(window().isVisible());
    }
};

QTEST_MAIN(QtApplicationTest)
#include "QtApplicationTest.moc"
