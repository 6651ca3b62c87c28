#include "platform/Host.h"

#include <cstdarg>
#include <cstdio>

namespace quillon {
namespace {
Host* host = nullptr;
} // namespace

void setHost(Host* newHost) {
    host = newHost;
}

Host* currentHost() {
    return host;
}

void showMessage(MessageIcon icon, const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (host == nullptr) {
        std::fputs(text, stderr);
        return;
    }
    host->messageBox(text, icon);
}

void playSound(int resourceId) {
    if (host != nullptr)
        host->playSound(resourceId);
}

} // namespace quillon
