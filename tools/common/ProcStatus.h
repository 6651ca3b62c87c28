// Reading a process's figures from /proc.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/types.h>

namespace quillon::tools {

// A field of /proc/PID/status in KiB ("VmRSS:", "VmHWM:"), or -1; pid 0
// reads this process's own.
inline long statusKb(const char* field, pid_t pid = 0) {
    std::string path = pid == 0 ? "/proc/self/status" : "/proc/" + std::to_string(pid) + "/status";
    std::FILE* status = std::fopen(path.c_str(), "r");
    if (status == nullptr)
        return -1;
    char line[256];
    long value = -1;
    std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status) != nullptr)
        if (std::strncmp(line, field, length) == 0)
            value = std::strtol(line + length, nullptr, 10);
    std::fclose(status);
    return value;
}

} // namespace quillon::tools
