// The back buffer's pixel rules: what each drawing call covers, and in which
// colour.
#include "backends/qt/QtSurface.h"

#include <QTest>

using namespace quillon;

namespace {

// The bounding box of the pixels that differ from the grey field.
QRect changedArea(const QImage& image) {
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(50, 50, 50))
                area |= QRect(x, y, 1, 1);
    return area;
}

} // namespace

class QtSurfaceTest : public QObject {
    Q_OBJECT

    QtSurface surface{60, 30};

private slots:
    void init() { surface.fillRect(0, 0, 60, 30, rgb(50, 50, 50)); }

    // Right and bottom edges are left out; the colour keeps red in the low byte.
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
        auto draw = kind == 0   ? &QtSurface::fillRect
                    : kind == 1 ? &QtSurface::drawLine
                                : &QtSurface::fillEllipse;
        (surface.*draw)(args.x(), args.y(), args.width(), args.height(), rgb(64, 160, 255));
        QCOMPARE(changedArea(surface.image()), covered);
        if (!covered.isEmpty())
            QCOMPARE(surface.image().pixel(covered.center()), qRgb(64, 160, 255));
    }
};

QTEST_MAIN(QtSurfaceTest)
#include "QtSurfaceTest.moc"
