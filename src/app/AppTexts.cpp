#include "app/AppTexts.h"

#include <cstdio>

namespace quillon {

void formatTitle(char* title, std::size_t capacity, int layoutIndex) {
    std::snprintf(title, capacity, "%s [Track Model %c]", PROGRAM_NAME, 'A' + layoutIndex);
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

} // namespace quillon
