// The one reading of a PopupMenu that every backend builds its menu from.
#pragma once

#include "host/Host.h"

#include <cstring>

namespace quillon {

// Visits the menu's entries in order (at most CAPACITY). A submenu entry at
// the top level calls open(label), which returns the new submenu, or a null
// one to leave the submenu and its entries out; the next `submenu` entries
// then go into it. Every other entry calls add(into, entry, label), into
// being top or the submenu being filled. label is the entry's label with a
// NUL after it.
template <typename Menu, typename Open, typename Add>
void walkMenu(const PopupMenu& menu, Menu top, Open open, Add add) {
    const int count = menu.count < PopupMenu::CAPACITY ? menu.count : PopupMenu::CAPACITY;
    Menu into = top;
    int left = 0; // entries still to go into the submenu being filled
    for (int i = 0; i < count; ++i) {
        const MenuEntry& entry = menu.entries[i];
        if (left == 0)
            into = top;
        else
            --left;
        char label[sizeof entry.label + 1];
        std::memcpy(label, entry.label, sizeof entry.label);
        label[sizeof entry.label] = '\0';
        if (entry.submenu <= 0 || into != top) {
            add(into, entry, label);
            continue;
        }
        Menu submenu = open(label);
        if (!submenu) {
            i += entry.submenu;
            continue;
        }
        into = submenu;
        left = entry.submenu;
    }
}

} // namespace quillon
