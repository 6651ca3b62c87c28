// The program in one process on the offscreen platform: the real window and
// host, the application, and a real listening socket in the test playing the
// controlling program.
#include "QtTestSupport.h"
#include "TestController.h"
#include "app/MenuCommands.h"
#include "app/SimulatorApp.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtHost.h"
#include "sim/Trains.h"
#include "support/FakeHost.h"
#include "track/BuiltinLayouts.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMessageBox>
#include <QTest>
#include <cstring>

using namespace quillon;
using namespace quillon::testing;

namespace {

// The offscreen platform has no notification area. This host says it has
// one, so that the behaviour with a tray icon can be run here.
class HostWithTray : public QtHost {
  public:
    bool hasTrayIcon() override { return true; }
};

} // namespace

class QtApplicationTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestController> controller;
    std::unique_ptr<QtHost> host;
    std::unique_ptr<SimulatorApp> app;

    // Starts the program as main() does, with the socket in the test's
    // directory.
    void start(bool withTray) {
        quillon::testing::resetCoreState();
        ::setenv("QUILLON_PIPE", controller->path().c_str(), 1);
        host = withTray ? std::make_unique<HostWithTray>() : std::make_unique<QtHost>();
        setHost(host.get());
        app = std::make_unique<SimulatorApp>(*host);
        application = app.get();
    }

    MainWindow& window() { return host->window(); }

    // Moves the pointer to p and presses the button there. The pointer
    // comes from elsewhere, so that what lies at p is hovered afresh.
    void clickAt(QPoint p, Qt::MouseButton button) {
        QTest::mouseMove(&window(), p + QPoint(30, 30));
        QTest::mouseMove(&window(), p);
        QTest::mouseClick(&window(), button, {}, p);
    }

    // Right-clicks p and returns the menu that opens.
    QMenu* menuAt(QPoint p) {
        clickAt(p, Qt::RightButton);
        QMenu* menu = nullptr;
        for (int i = 0; i < 100 && menu == nullptr; ++i) {
            menu = openMenu();
            if (menu == nullptr)
                QTest::qWait(10);
        }
        return menu;
    }

    void placeTrain(const char* node, int number) {
        QMenu* menu = menuAt(pointOf(findNode(node)));
        QVERIFY(menu != nullptr);
        choose(menu, QStringLiteral("Place Train %1").arg(number));
        QTRY_VERIFY(trainByNumber(number) != nullptr &&
                    std::strcmp(trainByNumber(number)->currentNode->name, node) == 0);
    }

  private slots:
    void init() { controller = std::make_unique<TestController>(); }

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

    void connectingShowsTheWindowForLayoutA() {
        QVERIFY(controller->listen());
        start(true);
        QVERIFY(controller->accept(2000, idle));
        QVERIFY(window().isVisible());
        QCOMPARE(window().windowTitle(), QStringLiteral("Quillon [Track Model A]"));
        QCOMPARE(window().size(), QSize(512, 320));
        QVERIFY(host->timerActive(2) && host->timerActive(3));
    }

    void withTrayTheWindowWaitsHiddenForAController() {
        start(true);
        QTest::qWait(1300);
        QVERIFY(!window().isVisible());
        QVERIFY(host->timerActive(1));
        QVERIFY(!host->timerActive(2) && !host->timerActive(3));
        // The controlling program starts later: the next attempt finds it.
        QVERIFY(controller->listen());
        QVERIFY(controller->accept(2500, idle));
        QTRY_VERIFY_WITH_TIMEOUT(window().isVisible(), 1000);
    }

    // A train placed by the user on A1, set running over the socket, passes
    // sensors that the controlling program reads in its reports.
    void trainPlacedOnA1RunsAndIsReported() {
        QVERIFY(controller->listen());
        start(true);
        QVERIFY(controller->accept(2000, idle));
        placeTrain("A1", 12);
        QCOMPARE(trainByNumber(12)->currentNode->name, "A1");
        QVERIFY(controller->send({8, 12}));
        QTRY_COMPARE(trainSpeed(12), 8);

        std::vector<int> passed;
        QElapsedTimer clock;
        clock.start();
        while (passed.size() < 3 && clock.elapsed() < 30000) {
            std::vector<std::uint8_t> report = controller->requestReport(1000, idle);
            QCOMPARE(report.size(), std::size_t(10));
            for (int sensor : TestController::sensors(report))
                passed.push_back(sensor);
            QTest::qWait(20);
        }
        QCOMPARE(passed, (std::vector<int>{44, 70, 54}));
    }

    void losingTheControllerHidesTheWindowUntilTheNextOne() {
        QVERIFY(controller->listen());
        start(true);
        QVERIFY(controller->accept(2000, idle));
        QVERIFY(window().isVisible());
        controller->hangUp();
        controller->stopListening();
        QTRY_VERIFY_WITH_TIMEOUT(!window().isVisible(), 2000);
        QVERIFY(!host->timerActive(2));

        QVERIFY(controller->listen());
        QVERIFY(controller->accept(1500, idle));
        QTRY_VERIFY_WITH_TIMEOUT(window().isVisible(), 500);
        QVERIFY(controller->requestReport(1000, idle).size() == 10);
    }

    void menusOfEmptySpaceNodesAndTrainsShowTheirEntries() {
        QVERIFY(controller->listen());
        start(true);
        QVERIFY(controller->accept(2000, idle));

        QMenu* menu = menuAt({5, 5});
        QVERIFY(menu != nullptr);
        QCOMPARE(entries(menu), QStringList({"Hide", "-", "Export", "About", "-", "Close"}));
        menu->close();

        const QStringList places = {"Place Train 12", "Place Train 22", "Place Train 23",
                                    "Place Train 24", "Place Train 27", "Place Train 52",
                                    "Place Train 57"};
        menu = menuAt(pointOf(firstNodeOfType(NODE_SWITCH)));
        QVERIFY(menu != nullptr);
        QCOMPARE(entries(menu), places);
        menu->close();

        menu = menuAt(pointOf(findNode("A1")));
        QVERIFY(menu != nullptr);
        QCOMPARE(entries(menu), places + QStringList({"-", "Stick Sensor"}));
        QVERIFY(checkedEntries(menu).isEmpty());
        choose(menu, QStringLiteral("Stick Sensor"));
        menu = menuAt(pointOf(findNode("A1")));
        QTRY_COMPARE(checkedEntries(menu), QStringList({"Stick Sensor"}));
        choose(menu, QStringLiteral("Place Train 52"));
        QTRY_VERIFY(trainByNumber(52) != nullptr);

        // The train is drawn where it stands; right-clicking it gives its menu.
        QTest::qWait(50);
        Train* train = trainByNumber(52);
        menu = menuAt({train->displayX, train->displayY});
        QVERIFY(menu != nullptr);
        QStringList speeds = {"Stop Train"};
        for (int s = 1; s <= 14; ++s)
            speeds << QStringLiteral("Train Speed %1").arg(s);
        QCOMPARE(entries(menu), speeds + QStringList({"Reverse Train", "-", "Remove Train"}));
        QCOMPARE(checkedEntries(menu), QStringList({"Stop Train"}));
        choose(menu, QStringLiteral("Train Speed 5"));
        QTRY_COMPARE(trainSpeed(52), 5);
    }

    void timersRunWhileAMenuIsOpen() {
        QVERIFY(controller->listen());
        start(true);
        QVERIFY(controller->accept(2000, idle));
        QMenu* menu = menuAt({5, 5});
        QVERIFY(menu != nullptr);
        QCOMPARE(controller->requestReport(1000, idle).size(), std::size_t(10));
        QVERIFY(menu->isVisible());
    }

    void keysChooseTheLayoutAndControlCCopiesTheSwitches() {
        QVERIFY(controller->listen());
        start(true);
        QVERIFY(controller->accept(2000, idle));
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QTest::keyClick(&window(), Qt::Key_C);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        QTest::keyClick(&window(), Qt::Key_C, Qt::ControlModifier);
        QString copied = QGuiApplication::clipboard()->text();
        QCOMPARE(copied.size(), 486);
        QVERIFY(copied.startsWith(QLatin1Char('{')));
        QVERIFY(copied.contains(QStringLiteral("SWITCH_DIR_STRAIGHT")));

        QTest::keyClick(&window(), Qt::Key_B);
        QCOMPARE(window().windowTitle(), QStringLiteral("Quillon [Track Model B]"));
        QTest::keyClick(&window(), Qt::Key_F1);
        QCOMPARE(window().windowTitle(), QStringLiteral("Quillon [Track Model A]"));
        QTest::keyClick(&window(), Qt::Key_F2);
        QCOMPARE(window().windowTitle(), QStringLiteral("Quillon [Track Model B]"));
        QTest::keyClick(&window(), Qt::Key_A, Qt::ShiftModifier);
        QCOMPARE(window().windowTitle(), QStringLiteral("Quillon [Track Model A]"));
    }

    void aboutAndExportOpenTheirDialogs() {
        QVERIFY(controller->listen());
        start(true);
        QVERIFY(controller->accept(2000, idle));
        QString aboutText;
        whenModalOpens([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box != nullptr && box->windowTitle() == QStringLiteral("Quillon") &&
                box->icon() == QMessageBox::Information)
                aboutText = box->text();
            modal->close();
        });
        choose(menuAt({5, 5}), QStringLiteral("About"));
        QTRY_VERIFY(aboutText.startsWith(QStringLiteral("Quillon v1.00\n\n")));
        QVERIFY(aboutText.endsWith(QStringLiteral(" [2005-11-01]\n")));

        QString proposed;
        whenModalOpens([&](QWidget* modal) {
            if (auto* dialog = qobject_cast<QFileDialog*>(modal))
                proposed = QFileInfo(dialog->selectedFiles().value(0)).fileName();
            static_cast<QDialog*>(modal)->reject();
        });
        QTest::keyClick(&window(), Qt::Key_B);
        choose(menuAt({5, 5}), QStringLiteral("Export"));
        QTRY_COMPARE(proposed, QStringLiteral("trackb.dat"));
    }

    // Without a notification area nothing may hide the window; without an
    // audio device sounds are silent. Neither opens anything.
    void withoutTrayOrSoundTheWindowStaysReachable() {
        start(false);
        QVERIFY(!host->hasTrayIcon());
        QVERIFY(window().isVisible());
        QVERIFY(host->timerActive(2) && host->timerActive(3));

        placeTrain("A1", 23); // a new train: chime
        placeTrain("B3", 23); // moved: horn
        const TrackNode* switchNode = firstNodeOfType(NODE_SWITCH);
        int direction = switchNode->direction;
        clickAt({switchNode->x, switchNode->y}, Qt::LeftButton); // switch click
        QCOMPARE(switchNode->direction, 1 - direction);
        clickAt(pointOf(findNode("C13")), Qt::LeftButton); // sensor tick

        window().close(); // the close box
        QTRY_VERIFY(window().isMinimized());
        QVERIFY(window().isVisible());
        host->showWindow(false);
        QTRY_VERIFY(!window().isMinimized());
        choose(menuAt({5, 5}), QStringLiteral("Hide"));
        QTRY_VERIFY(window().isMinimized());
        QVERIFY(window().isVisible());
        QVERIFY(host->timerActive(2));

        QTest::qWait(1200); // a failed reconnection hides nothing either
        QVERIFY(window().isVisible());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget != &window())
                QVERIFY2(!widget->isVisible(), widget->metaObject()->className());
    }

    void closeEndsTheEventLoop() {
        start(true);
        QTimer::singleShot(0, [] { application->onCommand(1002); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
    }
};

QTEST_MAIN(QtApplicationTest)
#include "QtApplicationTest.moc"
