// Contact numbers as the controller's report counts them (0..495, from the
// first bit of the first module) and the names people use for them: the
// module's letters and the contact 1..16 within it. Modules 1..26 are
// lettered A..Z and modules 27..31 AA..AE, as spreadsheet columns go on, so
// contact 44 is "C13" and contact 416 is "AA1". Control programs that count
// feedback contacts from 1 call contact n their feedback n + 1.
#pragma once

namespace quillon {

// Room for the longest name and its NUL.
constexpr int CONTACT_NAME_CAPACITY = 5;

// Writes the name of contact number 0..495 into name; false (and an empty
// name) for any other number.
bool formatContactName(int number, char (&name)[CONTACT_NAME_CAPACITY]);

// The number of the contact named text (the module's letters, capital or
// small, then 1..16 without leading zeros), or -1 when text names none.
int parseContactName(const char* text);

} // namespace quillon
