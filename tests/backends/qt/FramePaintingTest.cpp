// The application's frames, composed in part from the kept still image, come
// out pixel for pixel as a full recomposition of the same world, over a
// randomized run of placements, movement, switches, hover, stuck sensors,
// track power, layout and size changes, on the built-in layouts and on a
// crowded one whose names are planned.
#include "app/SimulatorApp.h"
#include "backends/qt/QtHost.h"
#include "backends/qt/QtSurface.h"
#include "support/CrowdedLayout.h"
#include "support/RandomChange.h"
#include "view/FrameTracker.h"
#include "view/LayoutPainter.h"
#include "view/Palette.h"
#include "view/TextPainter.h"

#include <QTest>
#include <random>

using namespace quillon;

class FramePaintingTest : public QObject {
    Q_OBJECT

private slots:
    void incrementalFramesMatchFullRecompositions();
};

void FramePaintingTest::incrementalFramesMatchFullRecompositions() {
    ::setenv("QUILLON_PIPE", "/nonexistent/track", 1);
    QtHost host;
    SimulatorApp app(host);
    app.world().layouts.tracks[LAYOUT_LOADED] = testing::crowdedTrack(20, 20);
    app.onSize(false, app.width(), app.height());
    auto full = std::make_unique<QtSurface>(app.width(), app.height());
    TextPainter painter(host, FontPurpose::Labels);
    std::mt19937 random(14);
    for (int frame = 0; frame < 3000; ++frame) {
        testing::randomChange(app, random);
        app.onPaint();
        if (full->image().size() != QSize(app.width(), app.height()))
            full = std::make_unique<QtSurface>(app.width(), app.height());
        full->fillRect(0, 0, app.width(), app.height(), BLACK);
        drawLayout(*full, &painter, app.world(), &app.names());
        drawNotice(*full, &painter, noticeOf(app.world()), app.height());
        QVERIFY2(host.backBuffer()->image() == full->image(),
                 qPrintable(QStringLiteral("frame %1 differs").arg(frame)));
    }
}

QTEST_MAIN(FramePaintingTest)
#include "FramePaintingTest.moc"
