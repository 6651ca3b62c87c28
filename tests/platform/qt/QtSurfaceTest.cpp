// The back buffer's pixel rules: what each drawing call covers, in which
// colour, and where text lands.
#include "platform/qt/QtSurface.h"

#include <QFont>
#include <QFontMetrics>
#include <QTest>

using quillon::Colour;
using quillon::FontHandle;
using quillon::QtSurface;
using quillon::rgb;

namespace {

// The bounding box of the pixels that are not black, or an empty rectangle.
QRect litArea(const QImage& image) {
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != 0)
                area = area.united(QRect(x, y, 1, 1));
    return area;
}

QFont smallFixedFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
    font.setPixelSize(8);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

} // namespace

class QtSurfaceTest : public QObject {
    Q_OBJECT

  private slots:
    void coversHalfOpenAreas_data() {
        QTest::addColumn<int>("kind");   // 0 rectangle, 1 line, 2 disc
        QTest::addColumn<QRect>("args"); // left, top, right, bottom as x, y, width, height
        QTest::addColumn<QRect>("covered");
        QTest::newRow("rectangle") << 0 << QRect(3, 4, 10, 6) << QRect(3, 4, 7, 2);
        QTest::newRow("empty rectangle") << 0 << QRect(5, 5, 5, 9) << QRect();
        QTest::newRow("horizontal line") << 1 << QRect(2, 7, 12, 7) << QRect(2, 7, 10, 1);
        QTest::newRow("vertical line") << 1 << QRect(9, 1, 9, 6) << QRect(9, 1, 1, 5);
        QTest::newRow("disc") << 2 << QRect(4, 2, 15, 13) << QRect(4, 2, 11, 11);
    }
    void coversHalfOpenAreas() {
        QFETCH(int, kind);
        QFETCH(QRect, args);
        QFETCH(QRect, covered);
        // The rectangle's four numbers are the call's arguments, in order.
        int a = args.x(), b = args.y(), c = args.width(), d = args.height();
        QtSurface surface(24, 16);
        const Colour white = rgb(255, 255, 255);
        if (kind == 0)
            surface.fillRect(a, b, c, d, white);
        if (kind == 1)
            surface.drawLine(a, b, c, d, white);
        if (kind == 2) {
            // The disc's outline is black: paint it on a grey field and look
            // at what changed.
            surface.fillRect(0, 0, 24, 16, rgb(50, 50, 50));
            surface.fillEllipse(a, b, c, d, white);
            QRect changed;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 24; ++x)
                    if (surface.image().pixel(x, y) != qRgb(50, 50, 50))
                        changed = changed.united(QRect(x, y, 1, 1));
            QCOMPARE(changed, covered);
            return;
        }
        QCOMPARE(litArea(surface.image()), covered);
    }

    void discHasBlackOutlineAndFilledInside() {
        QtSurface surface(20, 20);
        surface.fillRect(0, 0, 20, 20, rgb(0, 0, 255));
        surface.fillEllipse(2, 2, 17, 17, rgb(255, 255, 0));
        const QImage& image = surface.image();
        QCOMPARE(image.pixel(9, 9), qRgb(255, 255, 0)); // centre
        QCOMPARE(image.pixel(2, 9), qRgb(0, 0, 0));     // leftmost column: outline
        QCOMPARE(image.pixel(16, 9), qRgb(0, 0, 0));    // rightmost column: outline
        QCOMPARE(image.pixel(17, 9), qRgb(0, 0, 255));  // right edge excluded
        QCOMPARE(image.pixel(2, 2), qRgb(0, 0, 255));   // corner outside the disc
    }

    void coloursHaveRedInTheLowByte() {
        QtSurface surface(3, 1);
        surface.fillRect(0, 0, 1, 1, 0x0000FFu);
        surface.fillRect(1, 0, 2, 1, 0x00FF00u);
        surface.fillRect(2, 0, 3, 1, rgb(64, 160, 255));
        QCOMPARE(surface.image().pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(surface.image().pixel(1, 0), qRgb(0, 255, 0));
        QCOMPARE(surface.image().pixel(2, 0), qRgb(64, 160, 255));
    }

    void textSitsInItsCellFromTheTopLeftCorner() {
        QFont font = smallFixedFont();
        QImage probe(1, 1, QImage::Format_RGB32);
        QFontMetrics metrics(font, &probe);
        const char* text = "A12 CRASHED!";
        int length = static_cast<int>(strlen(text));

        QtSurface surface(120, 30);
        surface.selectFont(reinterpret_cast<FontHandle>(&font));
        surface.setTextColour(rgb(255, 255, 255));
        surface.setBackgroundTransparent();
        surface.textOut(10, 5, text, length);
        QRect cells(10, 5, metrics.averageCharWidth() * length, metrics.height());
        QRect lit = litArea(surface.image());
        QVERIFY(!lit.isEmpty());
        QVERIFY2(cells.contains(lit), "every lit pixel lies in the text's cells");
        // Only the first 3 characters are drawn when 3 are asked for.
        QtSurface three(120, 30);
        three.selectFont(reinterpret_cast<FontHandle>(&font));
        three.setTextColour(rgb(255, 255, 255));
        three.textOut(10, 5, text, 3);
        QVERIFY(litArea(three.image()).right() < 10 + 3 * metrics.averageCharWidth());
    }

    void opaqueBackgroundFillsTheCellsEvenInBlack() {
        QFont font = smallFixedFont();
        QImage probe(1, 1, QImage::Format_RGB32);
        QFontMetrics metrics(font, &probe);
        QtSurface surface(60, 20);
        surface.fillRect(0, 0, 60, 20, rgb(0, 0, 255));
        surface.selectFont(reinterpret_cast<FontHandle>(&font));
        surface.setTextColour(rgb(255, 255, 255));
        surface.setBackgroundOpaque(rgb(0, 0, 0)); // black is a colour, not "none"
        surface.textOut(4, 3, "ab", 2);
        const QImage& image = surface.image();
        int right = 4 + 2 * metrics.averageCharWidth(), bottom = 3 + metrics.height();
        int blue = 0;
        for (int y = 3; y < bottom; ++y)
            for (int x = 4; x < right; ++x)
                blue += image.pixel(x, y) == qRgb(0, 0, 255);
        QCOMPARE(blue, 0);
        QCOMPARE(image.pixel(right, 3), qRgb(0, 0, 255));
        QCOMPARE(image.pixel(4, bottom), qRgb(0, 0, 255));

        surface.setBackgroundTransparent();
        surface.fillRect(0, 0, 60, 20, rgb(0, 0, 255));
        surface.textOut(4, 3, "ab", 2);
        QCOMPARE(image.pixel(4, 3), qRgb(0, 0, 255));
    }

    void aFontForgottenAtTheSameAddressIsSelectedAfresh() {
        QtSurface surface(60, 40);
        surface.setTextColour(rgb(255, 255, 255));
        QFont font = smallFixedFont();
        auto handle = reinterpret_cast<FontHandle>(&font);
        surface.selectFont(handle);
        surface.textOut(0, 0, "M", 1);
        int smallHeight = litArea(surface.image()).height();
        // The same address now holds a bigger font.
        surface.forgetFont(handle);
        font.setPixelSize(24);
        surface.fillRect(0, 0, 60, 40, 0);
        surface.selectFont(handle);
        surface.selectFont(0); // 0 keeps the font
        surface.textOut(0, 0, "M", 1);
        QVERIFY(litArea(surface.image()).height() > smallHeight * 2);
    }
};

QTEST_MAIN(QtSurfaceTest)
#include "QtSurfaceTest.moc"
