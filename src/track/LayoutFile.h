// Layout files: a layout as users write it, in either of two forms, read
// from disk and checked with every mistake placed at its line and column.
//
// The node table form is the built-in layouts' own text (LayoutText.h): it
// begins with the word "track". Any other text is the named form, written
// for people:
//
//   # An oval with one sensor each side; '#' starts a comment to the end
//   # of the line, blank lines go anywhere.
//   gap 40                  # optional, once: trains collide within 40 units
//   sensor S1 at 100 0 id 3
//       ahead SW1 200 behind E1 100
//   switch SW1 at 300 0 number 5 set curved
//       behind S1 200 straight E2 150 curved E3 180
//   stop E1 at 0 0 ahead S1 100
//   stop E2 at 450 0 ahead SW1 150
//   stop E3 at 450 80 ahead SW1 180
//
// A statement starts on a line that begins with a word; a line that begins
// with white space continues the statement above. A node statement is the
// node's type (sensor, switch or stop) and its name (1 to 31 characters of
// printable ASCII other than '#'; names are case-sensitive), then clauses in
// any order, each at most once:
//   at X Y          layout units; required
//   id K            sensor: reports contact 2K leaving by its ahead edge and
//                   2K + 1 leaving by its behind edge, K 0..247; stop: the
//                   stop's number (0 when not given)
//   contact C       sensor: reports C both ways
//   contacts C D    sensor: C leaving ahead, D leaving behind; '-' for none
//   number N        switch: the number the controller addresses it by,
//                   1..255; required
//   set straight|curved
//                   switch: its direction at the start (straight when not
//                   given)
//   KEYWORD NODE DISTANCE
//                   an edge: the keywords a node type takes (ahead and
//                   behind for a sensor, ahead for a stop, straight, curved
//                   and behind for a switch), the name of the node it leads
//                   to and its length in layout units, 1..1000000
// A sensor states exactly one of id, contact and contacts. A contact is a
// number 0..495 or a contact name (A1..Z16, AA1..AE16). Nodes may be
// named before they are stated. Capacities are those of a loaded layout:
// 4096 nodes, switch numbers 1..255, contacts 0..495. `gap N` takes 0..1000000
// layout units; without it trains collide as on the built-in layouts, within
// 10 window pixels. Words are separated by spaces, tabs and carriage returns;
// a UTF-8 byte order mark at the start of the file is ignored.
#pragma once

#include "track/LayoutText.h"
#include "track/Track.h"

#include <string>
#include <string_view>
#include <vector>

namespace quillon {

enum class LayoutForm {
    NodeTable, // the built-ins' text: "track N" and numbered entries
    Named,     // the form for people
};

// The form a text is in: the node table form when its first word is
// "track", the named form otherwise.
LayoutForm layoutFormOf(std::string_view text);

// Loads a text in either form into out; the text may hold anything (NUL
// bytes, any length). A text that is not text (a NUL byte, or bytes that are
// not UTF-8) is one error at the first such byte. On success out holds the
// indexed layout, with window positions equal to its layout coordinates until
// it is scaled and a revision other than the one it replaces; nodePositions,
// when given, then holds where each node's statement or entry begins, by
// index; true. Otherwise out and nodePositions are untouched, errors gains
// every error found, in text order, and false.
bool loadLayout(std::string_view text, Track& out, std::vector<LayoutError>& errors,
                std::vector<SourcePosition>* nodePositions = nullptr);

// Reads the whole file at path into text; false, with why in problem, when
// it cannot be opened or read.
bool readFileText(const std::string& path, std::string& text, std::string& problem);

// Reads the file at path and loads it as loadLayout does. A file that cannot
// be read is one error at line 0 saying why.
bool readLayoutFile(const std::string& path, Track& out, std::vector<LayoutError>& errors,
                    std::vector<SourcePosition>* nodePositions = nullptr);

// "FILE:LINE:COLUMN: message", or "FILE: message" for line 0; no line feed.
std::string describeLayoutError(std::string_view file, const LayoutError& error);

// The track in the named form, with its switch directions and layout
// coordinates as they stand now; loading the text gives the same nodes,
// contacts, switch numbers and gap. Works for any track whose nodes have
// names fit for the form and unique; other nodes are named N<index> (with
// '_' added while another node has that name). The form has no edge from a
// node to itself (the node table form has): such an edge is written as it
// stands, and loading the text refuses it.
std::string formatNamedLayout(const Track& track);

} // namespace quillon
