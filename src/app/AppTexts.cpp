#include "app/AppTexts.h"

#include <cstdio>

namespace quillon {

void formatTitle(char* title, std::size_t capacity, int layoutIndex) {
    std::snprintf(title, capacity, "%s [Track Model %c]", PROGRAM_NAME, 'A' + layoutIndex);
}

const char* fileNameOf(const char* path) {
    const char* name = path;
    for (const char* c = path; *c != '\0'; ++c) {
        if (*c == '/' || *c == '\\')
            name = c + 1;
    }
    return name;
}

void formatLoadedTitle(char* title, std::size_t capacity, const char* path) {
    std::snprintf(title, capacity, "%s - %s", PROGRAM_NAME, fileNameOf(path));
}

void formatExportName(char* path, std::size_t capacity, int layoutIndex) {
    std::snprintf(path, capacity, "track%c.dat", 'a' + layoutIndex);
}

SaveDialogRequest exportDialogRequest() {
    SaveDialogRequest request{};
    request.filters[0] = {"Raw Track Data (*.dat)", "*.dat"};
    request.filters[1] = {"All Files (*.*)", "*.*"};
    request.filterCount = 2;
    request.selectedFilter = 0;
    request.defaultExtension = "dat";
    request.promptOverwrite = true;
    request.hideReadOnly = true;
    request.pathMustExist = true;
    return request;
}

SaveDialogRequest layoutExportDialogRequest() {
    SaveDialogRequest request = exportDialogRequest();
    request.filters[0] = {"Layout Files (*.layout)", "*.layout"};
    request.defaultExtension = "layout";
    return request;
}

OpenDialogRequest layoutOpenDialogRequest() {
    OpenDialogRequest request{};
    request.filters[0] = {"Layouts and Plans (*.layout;*.txt;*.xml)", "*.layout;*.txt;*.xml"};
    request.filters[1] = {"All Files (*.*)", "*.*"};
    request.filterCount = 2;
    request.selectedFilter = 0;
    return request;
}

} // namespace quillon
