// Painting the active layout and the trains into a surface. Each call draws
// the whole picture afresh; it allocates nothing and changes nothing.
#pragma once

#include "host/Host.h"

namespace quillon {

class NamePlan;
class TextPainter;
struct Train;
struct World;

// A node's name is centred this many pixels above the node.
constexpr int NAME_ABOVE_NODE = 9;

// Draws, in this order: every edge of the active layout once in the track's
// walk order, route blue on a set route and branch grey on a branch its
// switch is not set to; each switch's two branches again in
// the colours of its direction; the node markers and the sensors' names
// (those the plan shows; without a plan, all); the hovered node's name,
// where the plan hides it last, on black, so that nothing covers it; the
// trains at their display positions. Texts go through painter; without one
// no text is drawn. The world is only read.
void drawLayout(Surface& surface, TextPainter* painter, const World& world,
                const NamePlan* names = nullptr);

// The still part of drawLayout: everything but the trains.
void drawTrack(Surface& surface, TextPainter* painter, const World& world,
               const NamePlan* names = nullptr);

// One train at its display position: frame and body, its headlight when
// on, its number, its status lines while hovered (the light's too when on),
// and "CRASHED!" when crashed.
void drawTrain(Surface& surface, TextPainter* painter, const Train& train, bool hovered);

// The texts drawTrain writes, in drawing order, each centred on
// (train.displayX, y): what both the painter and the frame tracker go by.
struct TrainText {
    static constexpr int CAPACITY = 5;
    struct Line {
        char text[24]; // the longest: "distance:" and any int32_t
        int y;
        Colour colour;
    };
    Line lines[CAPACITY];
    int count = 0;
};
TrainText trainTextOf(const Train& train, bool hovered);
// Below every sensor of the active layout, its contacts as a hovered sensor
// of a loaded layout shows them: for a picture no pointer hovers over.
void drawSensorContacts(Surface& surface, TextPainter* painter, const World& world);

} // namespace quillon
