// The program on a real X server (Xvfb) with the tray program trayer: what
// the window shows, as a screenshot from the server, and the tray icon.
// Run through with-trayer.sh under xvfb-run. QUILLON_SCREENSHOT, when set,
// names a file that receives the screenshot of the window.
#include "QtTestSupport.h"
#include "TestController.h"
#include "app/MenuCommands.h"
#include "app/SimulatorApp.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtHost.h"
#include "platform/qt/QtSurface.h"
#include "sim/InteractionState.h"
#include "sim/Trains.h"
#include "support/FakeHost.h"
#include "track/BuiltinLayouts.h"
#include "view/Palette.h"

#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>
#include <cstring>

using namespace quillon;
using namespace quillon::testing;

namespace {

// True when the 3 x 3 pixels around p hold the colour.
bool near(const QImage& image, QPoint p, Colour colour) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.valid(p.x() + dx, p.y() + dy) &&
                (image.pixel(p.x() + dx, p.y() + dy) & 0xFFFFFF) == (toQRgb(colour) & 0xFFFFFF))
                return true;
    return false;
}

// Whether the middle of the edge from a to b is drawn in the colour, and
// clear of markers, names and trains.
bool edgeDrawnIn(const QImage& image, const TrackNode& a, const TrackNode& b, Colour colour) {
    for (double t : {0.4, 0.45, 0.5, 0.55, 0.6}) {
        QPoint p(int(a.x + (b.x - a.x) * t), int(a.y + (b.y - a.y) * t));
        if (!near(image, p, colour))
            return false;
    }
    return true;
}

bool farFromEverything(const TrackNode& a, const TrackNode& b) {
    if (std::hypot(b.x - a.x, b.y - a.y) < 40)
        return false;
    QPoint mid((a.x + b.x) / 2, (a.y + b.y) / 2);
    const TrackLayout& layout = activeLayout();
    for (int i = 0; i < layout.nodeCount; ++i)
        if (std::hypot(layout.nodes[i].x - mid.x(), layout.nodes[i].y - 9 - mid.y()) < 16)
            return false;
    for (int i = 0; i < trainTable.count; ++i)
        if (std::hypot(trainTable.trains[i].displayX - mid.x(),
                       trainTable.trains[i].displayY - mid.y()) < 30)
            return false;
    return true;
}

} // namespace

class XvfbTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestController> controller;
    std::unique_ptr<QtHost> host;
    std::unique_ptr<SimulatorApp> app;

    void start() {
        quillon::testing::resetCoreState();
        controller = std::make_unique<TestController>();
        QVERIFY(controller->listen());
        ::setenv("QUILLON_PIPE", controller->path().c_str(), 1);
        host = std::make_unique<QtHost>();
        setHost(host.get());
        app = std::make_unique<SimulatorApp>(*host);
        application = app.get();
        QVERIFY(controller->accept(3000, idle));
        QVERIFY(QTest::qWaitForWindowExposed(&host->window()));
    }

    void placeTrain(const char* node, int index) {
        const TrackNode* at = findNode(node);
        QVERIFY(at != nullptr);
        QPoint p(at->x, at->y);
        // On X the pointer really moves, and the window hears of it a little
        // later: wait until the node is hovered before pressing.
        QTest::mouseMove(&host->window(), p);
        QTRY_VERIFY(interaction.hoveredNode == at);
        QTest::mouseClick(&host->window(), Qt::RightButton, {}, p);
        QMenu* menu = nullptr;
        QTRY_VERIFY((menu = openMenu()) != nullptr);
        QAction* action = menu->actions().at(index);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        QTRY_VERIFY(trainByNumber(PLACEABLE_TRAINS[index]) != nullptr);
    }

    // The window as the X server shows it.
    QImage screenshot() {
        QScreen* screen = host->window().screen();
        return screen->grabWindow(host->window().winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

  private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        // trayer starts beside the test; give it a moment to claim the tray.
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 10000);
    }

    void cleanup() {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        application = nullptr;
        app.reset();
        setHost(nullptr);
        host.reset();
        controller.reset();
        quillon::testing::resetCoreState();
    }

    void showingOnAConnectionLeavesTheFocusWhereItIs() {
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        // The offscreen platform activates every window it shows; an X
        // server gives the focus only to who asks for it.
        QtHost host;
        host.showWindow(true);
        QVERIFY(QTest::qWaitForWindowExposed(&host.window()));
        QTest::qWait(50);
        QCOMPARE(QApplication::activeWindow(), &other);
        // Chosen by the user, the window comes forward with the focus.
        host.showWindow(false);
        QVERIFY(QTest::qWaitForWindowActive(&host.window()));
    }

    void windowPaintsLayoutAWithRunningTrains() {
        start();
        placeTrain("A1", 0);  // 12
        placeTrain("C13", 2); // 23
        placeTrain("E5", 5);  // 52
        QVERIFY(controller->send({8, 12, 6, 23, 10, 52}));
        QTest::qWait(2500);
        // Hover a train that is standing still so that its status shows.
        QVERIFY(controller->send({0, 52}));
        QTest::qWait(100);
        Train* shown = trainByNumber(52);
        QTest::mouseMove(&host->window(), QPoint(shown->displayX, shown->displayY));
        QTRY_VERIFY(shown->hovered);
        QTest::qWait(100);

        QImage shot = screenshot();
        QCOMPARE(shot.size(), QSize(512, 320));
        QByteArray saveTo = qgetenv("QUILLON_SCREENSHOT");
        if (!saveTo.isEmpty())
            QVERIFY(shot.save(QString::fromLocal8Bit(saveTo)));

        QCOMPARE(shot.pixel(2, 2) & 0xFFFFFF, 0u); // the black background
        const TrackLayout& layout = activeLayout();
        int yellowSensors = 0, blueEdges = 0, greyEdges = 0;
        for (int i = 0; i < layout.nodeCount; ++i) {
            const TrackNode& node = layout.nodes[i];
            bool trainNear = false;
            for (int t = 0; t < trainTable.count; ++t)
                trainNear |= std::hypot(trainTable.trains[t].displayX - node.x,
                                        trainTable.trains[t].displayY - node.y) < 16;
            if (node.type == NODE_SENSOR && !trainNear &&
                (shot.pixel(node.x, node.y) & 0xFFFFFF) == (toQRgb(SENSOR_YELLOW) & 0xFFFFFF))
                ++yellowSensors;
            if (node.type != NODE_SWITCH)
                continue;
            // A switch's set branch is route blue, the other branch grey.
            int set = node.direction == SWITCH_DIR_STRAIGHT ? EDGE_STRAIGHT : EDGE_CURVED;
            int other = set == EDGE_STRAIGHT ? EDGE_CURVED : EDGE_STRAIGHT;
            const TrackNode& to = layout.nodes[node.edges[set].dest];
            const TrackNode& away = layout.nodes[node.edges[other].dest];
            if (farFromEverything(node, to) && edgeDrawnIn(shot, node, to, ROUTE_BLUE))
                ++blueEdges;
            if (farFromEverything(node, away) && edgeDrawnIn(shot, node, away, BRANCH_GREY))
                ++greyEdges;
        }
        QVERIFY2(yellowSensors >= 20, qPrintable(QString::number(yellowSensors)));
        QVERIFY2(blueEdges >= 3, qPrintable(QString::number(blueEdges)));
        QVERIFY2(greyEdges >= 3, qPrintable(QString::number(greyEdges)));
        // Each train is a red body in a white frame with its number.
        for (int t = 0; t < trainTable.count; ++t) {
            const Train& train = trainTable.trains[t];
            QVERIFY(near(shot, {train.displayX - 7, train.displayY - 4}, RED));
        }
    }

    void trayIconAppearsAndItsLeftClickTogglesTheWindow() {
        start();
        QVERIFY(host->hasTrayIcon());
        QSystemTrayIcon* tray = host->trayIcon();
        QTRY_VERIFY(tray->geometry().isValid() && !tray->geometry().isEmpty());
        // The icon shows in the tray: its red train is on the screen there
        // once the tray has embedded and painted it.
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
        QTRY_VERIFY_WITH_TIMEOUT(redPixelsInTray() >= 4, 10000);

        // The icon is a window embedded in the tray; a left click on it
        // toggles the main window like Hide and Show.
        QWidget* icon = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (QByteArray(widget->metaObject()->className()) == "QSystemTrayIconSys")
                icon = widget;
        QVERIFY(icon != nullptr);
        QVERIFY(host->window().isVisible());
        QTest::mouseClick(icon, Qt::LeftButton);
        QTRY_VERIFY(!host->window().isVisible());
        QVERIFY(!shownByUser);
        QTest::mouseClick(icon, Qt::LeftButton);
        QTRY_VERIFY(host->window().isVisible());
        QVERIFY(shownByUser);

        QTest::mouseClick(icon, Qt::RightButton);
        QMenu* menu = nullptr;
        QTRY_VERIFY((menu = openMenu()) != nullptr);
        QCOMPARE(entries(menu), QStringList({"Hide", "-", "About", "-", "Close"}));
    }
};

QTEST_MAIN(XvfbTest)
#include "XvfbTest.moc"
