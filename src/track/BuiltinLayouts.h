// The two built-in layouts, their records and view entries, and which of
// them is active.
#pragma once

#include "track/TrackLayout.h"

namespace quillon {

constexpr int LAYOUT_A = 0;
constexpr int LAYOUT_B = 1;

extern const char LAYOUT_A_TEXT[];
extern const char LAYOUT_B_TEXT[];

// Record 0 (A) or 1 (B).
TrackLayout& layoutRecord(int index);

// Parses both texts into their records (showing "Error parsing data for
// track A" or "... B" after a failure and going on), fills the view entries
// of both, and makes layout A active.
void loadBuiltinLayouts();

// Sets each node's view to its parsed coordinates, not hovered, not stuck.
void initNodeViews(TrackLayout& layout);

// Makes record A (0) or B (1) the active layout; nothing else changes.
void selectLayout(int index);

// The layout that everything moves, draws, hits and reports on. Before the
// load it is record A, all zero.
TrackLayout& activeLayout();

// 0 when the active record has layout A's node count, otherwise 1.
int activeLayoutIndex();

// Zeroes both records and every view entry and makes record A active again:
// the state before loadBuiltinLayouts.
void resetLayouts();

} // namespace quillon
