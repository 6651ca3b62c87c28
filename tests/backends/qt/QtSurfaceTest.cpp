// The back buffer's pixel rules: what each drawing call covers, in which
// colour, and where text lands.
#include "backends/qt/QtSurface.h"

#include <QFontMetrics>
#include <QTest>

using namespace quillon;

namespace {

const QRgb FIELD = qRgb(50, 50, 50);

// The bounding box of the pixels that differ from the grey field.
QRect changedArea(const QImage& image) {
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != FIELD)
                area |= QRect(x, y, 1, 1);
    return area;
}

} // namespace

class QtSurfaceTest : public QObject {
    Q_OBJECT

private slots:
    void coversHalfOpenAreasInTheColourAsked_data() {
        QTest::addColumn<int>("kind");   // 0 rectangle, 1 line, 2 disc
        QTest::addColumn<QRect>("args"); // the call's four numbers as x, y, width, height
        QTest::addColumn<QRect>("covered");
        QTest::newRow("rectangle") << 0 << QRect(3, 4, 10, 6) << QRect(3, 4, 7, 2);
        QTest::newRow("empty rectangle") << 0 << QRect(5, 5, 5, 9) << QRect();
        QTest::newRow("horizontal line") << 1 << QRect(2, 7, 12, 7) << QRect(2, 7, 10, 1);
        QTest::newRow("vertical line") << 1 << QRect(9, 1, 9, 6) << QRect(9, 1, 1, 5);
        QTest::newRow("disc") << 2 << QRect(4, 2, 15, 13) << QRect(4, 2, 11, 11);
    }
    void coversHalfOpenAreasInTheColourAsked() {
        QFETCH(int, kind);
        QFETCH(QRect, args);
        QFETCH(QRect, covered);
        QtSurface surface(24, 16);
        surface.fillRect(0, 0, 24, 16, rgb(50, 50, 50));
        const Colour blue = rgb(64, 160, 255); // red in the low byte
        int a = args.x(), b = args.y(), c = args.width(), d = args.height();
        if (kind == 0)
            surface.fillRect(a, b, c, d, blue);
        if (kind == 1)
            surface.drawLine(a, b, c, d, blue);
        if (kind == 2)
            surface.fillEllipse(a, b, c, d, blue);
        QCOMPARE(changedArea(surface.image()), covered);
        if (covered.isEmpty())
            return;
        QCOMPARE(surface.image().pixel(covered.center()), qRgb(64, 160, 255));
        if (kind == 2) // a black outline
            QCOMPARE(surface.image().pixel(covered.left(), covered.center().y()), qRgb(0, 0, 0));
    }

    // Text is placed by its cell's top-left corner, not its baseline, and
    // only the asked length is drawn, on its cells' opaque background.
    void textFillsItsCellsFromTheTopLeftCorner() {
        QFont font;
        font.setFamilies({QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
        font.setPixelSize(8);
        font.setStyleStrategy(QFont::NoAntialias);
        QtSurface surface(60, 30);
        surface.fillRect(0, 0, 60, 30, rgb(50, 50, 50));
        surface.selectFont(reinterpret_cast<FontHandle>(&font));
        surface.setTextColour(rgb(255, 255, 255));
        surface.setBackgroundOpaque(rgb(0, 0, 0));
        surface.textOut(10, 5, "MMM", 2);
        QImage probe(1, 1, QImage::Format_RGB32);
        QFontMetrics metrics(font, &probe);
        QCOMPARE(changedArea(surface.image()),
                 QRect(10, 5, metrics.horizontalAdvance(QStringLiteral("MM")), metrics.height()));
    }
};

QTEST_MAIN(QtSurfaceTest)
#include "QtSurfaceTest.moc"
