#include "track/ContactNames.h"

#include "track/Track.h"

#include <cstdio>

namespace quillon {
namespace {

constexpr int LETTERS = 26;
constexpr int CONTACTS_PER_MODULE = 16;
constexpr int MODULES = CONTACT_COUNT / CONTACTS_PER_MODULE;

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isLetter(char c) {
    return upper(c) >= 'A' && upper(c) <= 'Z';
}

} // namespace

bool formatContactName(int number, char (&name)[CONTACT_NAME_CAPACITY]) {
    name[0] = '\0';
    if (number < 0 || number >= CONTACT_COUNT)
        return false;
    int module = number / CONTACTS_PER_MODULE; // from 0
    int contact = number % CONTACTS_PER_MODULE + 1;
    if (module < LETTERS) {
        std::snprintf(name, sizeof name, "%c%d", 'A' + module, contact);
        return true;
    }
    std::snprintf(name, sizeof name, "%c%c%d", 'A' + module / LETTERS - 1, 'A' + module % LETTERS,
                  contact);
    return true;
}

int parseContactName(const char* text) {
    if (text == nullptr || !isLetter(text[0]))
        return -1;
    int module = upper(text[0]) - 'A';
    const char* p = text + 1;
    if (isLetter(*p)) {
        module = (module + 1) * LETTERS + (upper(*p) - 'A');
        ++p;
    }
    int contact = 0;
    int digits = 0;
    for (const char* d = p; *d != '\0'; ++d, ++digits) {
        if (*d < '0' || *d > '9' || digits == 2)
            return -1;
        contact = contact * 10 + (*d - '0');
    }
    if (digits == 0 || p[0] == '0' || contact > CONTACTS_PER_MODULE || module >= MODULES)
        return -1;
    return module * CONTACTS_PER_MODULE + contact - 1;
}

} // namespace quillon
