// The Qt host on its own, without the application: what each request does to
// the real window, timers, fonts, dialogs, clipboard and sound.
#include "platform/qt/QtHost.h"
#include "QtTestSupport.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtSurface.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace quillon;
using quillon::testing::whenModalOpens;

namespace {

FontRequest smallFixedFontRequest() {
    FontRequest request{};
    request.face = "Terminal";
    request.height = -8;
    request.charSet = 1;
    request.quality = 3;
    request.pitchAndFamily = 1;
    return request;
}

} // namespace

class QtHostTest : public QObject {
    Q_OBJECT

  private slots:
    void windowStartsHiddenAndKeepsTheClientSizeItIsGiven() {
        QtHost host;
        QVERIFY(!host.isWindowVisible());
        host.setOuterSize(512, 320);
        int width = 0, height = 0;
        host.clientSize(width, height);
        QCOMPARE(width, 512);
        QCOMPARE(height, 320);
        host.setTitle("Quillon [Track Model B]");
        QCOMPARE(host.window().windowTitle(), QStringLiteral("Quillon [Track Model B]"));
        host.showWindow(false);
        QVERIFY(QTest::qWaitForWindowExposed(&host.window()));
        host.clientSize(width, height);
        QCOMPARE(QSize(width, height), QSize(512, 320));
        host.hideWindow();
        QVERIFY(!host.isWindowVisible());
    }

    void fontMetricsAreThoseOfTheFontItDrawsWith() {
        QtHost host;
        QCOMPARE(host.screenDpiY(), 96);
        FontHandle font = host.createFont(smallFixedFontRequest());
        QVERIFY(font != 0);
        FontMetrics metrics{};
        QVERIFY(host.measureFont(font, metrics));
        QVERIFY2(metrics.averageCharWidth >= 4 && metrics.averageCharWidth <= 7, "a small face");
        QVERIFY2(metrics.cellHeight >= 8 && metrics.cellHeight <= 12, "a small face");

        QtSurface surface(16 * 8, 4 * 16);
        surface.selectFont(font);
        surface.setTextColour(rgb(255, 255, 255));
        const char* samples[] = {"MMMMMMMMMMMMMMMM", "iiiiiiiiiiiiiiii", "A12 CRASHED! E16",
                                 "SOLENOID ACTIVE_", "gjpqy|()[]{}WQ@#"};
        for (const char* text : samples) {
            surface.fillRect(0, 0, 16 * 8, 4 * 16, 0);
            surface.textOut(0, 0, text, 16);
            const QImage& image = surface.image();
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if ((image.pixel(x, y) & 0xFFFFFF) != 0)
                        QVERIFY2(x < 16 * metrics.averageCharWidth && y < metrics.cellHeight,
                                 qPrintable(QStringLiteral("%1 draws at (%2, %3)")
                                                .arg(QLatin1String(text))
                                                .arg(x)
                                                .arg(y)));
        }
        // Sixteen Ms reach into the sixteenth cell: the face really is fixed-pitch.
        surface.fillRect(0, 0, 16 * 8, 4 * 16, 0);
        surface.textOut(0, 0, "MMMMMMMMMMMMMMMM", 16);
        int rightmost = 0;
        for (int x = 0; x < surface.image().width(); ++x)
            for (int y = 0; y < metrics.cellHeight; ++y)
                if ((surface.image().pixel(x, y) & 0xFFFFFF) != 0)
                    rightmost = x;
        QVERIFY(rightmost >= 15 * metrics.averageCharWidth);

        host.deleteFont(font);
        QVERIFY(!host.measureFont(font, metrics));
        host.deleteFont(font); // a second time does nothing
    }

    void messageBoxCarriesTheCaptionAndTheIcon_data() {
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("expected");
        QTest::newRow("error") << static_cast<int>(MessageIcon::Error)
                               << static_cast<int>(QMessageBox::Critical);
        QTest::newRow("about") << static_cast<int>(MessageIcon::Information)
                               << static_cast<int>(QMessageBox::Information);
    }
    void messageBoxCarriesTheCaptionAndTheIcon() {
        QFETCH(int, icon);
        QFETCH(int, expected);
        QtHost host;
        bool seen = false;
        whenModalOpens([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            seen = box != nullptr && box->windowTitle() == QStringLiteral("Quillon") &&
                   box->icon() == expected && box->text() == QStringLiteral("Quillon v1.00");
            modal->close();
        });
        host.messageBox("Quillon v1.00", static_cast<MessageIcon>(icon));
        QVERIFY(seen);
    }

    void saveDialogProposesTheNameFiltersAndSuffix() {
        QTemporaryDir dir;
        QtHost host;
        SaveDialogRequest request{};
        request.filters[0] = {"Raw Track Data (*.dat)", "*.dat"};
        request.filters[1] = {"All Files (*.*)", "*.*"};
        request.filterCount = 2;
        request.selectedFilter = 1;
        request.defaultExtension = "dat";
        request.flags = 0x80806;
        char path[260];
        std::snprintf(path, sizeof path, "%s/trackb.dat", qPrintable(dir.path()));
        QFile existing(dir.filePath(QStringLiteral("taken.dat")));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.close();

        // The proposed name and the properties; a typed name without an
        // extension gets ".dat".
        whenModalOpens(
            [&](QWidget* modal) {
                auto* dialog = static_cast<QFileDialog*>(modal);
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                QCOMPARE(dialog->nameFilters(),
                         QStringList({"Raw Track Data (*.dat)", "All Files (*.*)"}));
                QCOMPARE(dialog->selectedNameFilter(), QStringLiteral("Raw Track Data (*.dat)"));
                QCOMPARE(dialog->defaultSuffix(), QStringLiteral("dat"));
                QCOMPARE(dialog->selectedFiles().value(0),
                         dir.filePath(QStringLiteral("trackb.dat")));
                name->selectAll();
                QTest::keyClicks(name, QStringLiteral("layout"));
                static_cast<QDialog*>(dialog)->accept();
            },
            "QFileDialog");
        QVERIFY(host.saveFileDialog(request, path, sizeof path));
        QCOMPARE(QString::fromLocal8Bit(path), dir.filePath(QStringLiteral("layout.dat")));

        // An existing file is replaced only after a question; No keeps the
        // dialog open, and cancelling it chooses nothing.
        bool asked = false, stillOpen = false;
        whenModalOpens(
            [&](QWidget* modal) {
                auto* dialog = static_cast<QFileDialog*>(modal);
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                whenModalOpens(
                    [&](QWidget* question) {
                        asked = true;
                        static_cast<QMessageBox*>(question)->button(QMessageBox::No)->click();
                    },
                    "QMessageBox");
                name->selectAll();
                QTest::keyClicks(name, QStringLiteral("taken.dat"));
                static_cast<QDialog*>(dialog)->accept();
                stillOpen = dialog->isVisible();
                dialog->reject();
            },
            "QFileDialog");
        QVERIFY(!host.saveFileDialog(request, path, sizeof path));
        QVERIFY(asked);
        QVERIFY(stillOpen);
    }

    void soundsNeverBlockNorOpenAnything() {
        QtHost host;
        QElapsedTimer clock;
        clock.start();
        for (int round = 0; round < 3; ++round)
            for (int id : {103, 104, 105, 106, 107, 108, 109, 110, -1})
                host.playSound(id);
        QVERIFY2(clock.elapsed() < 2000, "playing returns at once");
        QTest::qWait(200);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        for (QWidget* widget : QApplication::topLevelWidgets())
            QVERIFY2(!widget->isVisible(), qPrintable(widget->metaObject()->className()));
    }

    void resourcesHoldTheIconsAndTheSounds_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<double>("seconds"); // 0 for an icon
        QTest::addColumn<int>("size");       // icon width and height
        QTest::newRow("101") << ":/icons/icon101.ico" << 0.0 << 32;
        QTest::newRow("103") << ":/icons/icon103.ico" << 0.0 << 16;
        QTest::newRow("104") << ":/sounds/sound104.wav" << 0.2 << 0;
        QTest::newRow("105") << ":/sounds/sound105.wav" << 1.3 << 0;
        QTest::newRow("106") << ":/sounds/sound106.wav" << 2.0 << 0;
        QTest::newRow("107") << ":/sounds/sound107.wav" << 0.03 << 0;
        QTest::newRow("108") << ":/sounds/sound108.wav" << 3.5 << 0;
        QTest::newRow("109") << ":/sounds/sound109.wav" << 1.8 << 0;
    }
    void resourcesHoldTheIconsAndTheSounds() {
        QFETCH(QString, path);
        QFETCH(double, seconds);
        QFETCH(int, size);
        QtHost host; // makes the resources available
        if (size > 0) {
            QImage icon(path);
            QCOMPARE(icon.size(), QSize(size, size));
            QVERIFY(icon.hasAlphaChannel());
            QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);                 // rounded corner
            QCOMPARE(qAlpha(icon.pixel(size / 2, size / 2)), 255); // opaque inside
            return;
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray wave = file.readAll();
        QVERIFY(wave.size() > 44);
        const auto* bytes = reinterpret_cast<const uchar*>(wave.constData());
        QCOMPARE(wave.left(4), QByteArray("RIFF"));
        QCOMPARE(wave.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(qFromLittleEndian<quint16>(bytes + 20), quint16(1)); // PCM
        QCOMPARE(qFromLittleEndian<quint16>(bytes + 22), quint16(1)); // mono
        quint32 byteRate = qFromLittleEndian<quint32>(bytes + 28);
        quint32 dataSize = qFromLittleEndian<quint32>(bytes + 40);
        QCOMPARE(wave.mid(36, 4), QByteArray("data"));
        QCOMPARE(dataSize + 44, quint32(wave.size()));
        double duration = double(dataSize) / byteRate;
        QVERIFY2(std::abs(duration - seconds) <= seconds * 0.1,
                 qPrintable(QString::number(duration)));
    }
};

QTEST_MAIN(QtHostTest)
#include "QtHostTest.moc"
