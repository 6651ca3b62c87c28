// [x] whole file or nothing  [x] flushed to disk  [x] regular files only
#include "backends/win32/ReplaceFile.h"

#include <windows.h>

#include <cstring>

namespace quillon {
namespace {

bool isDeviceName(const char* path) {
    return std::strncmp(path, "\\\\.\\", 4) == 0 || std::strncmp(path, "\\\\?\\", 4) == 0;
}

// The folder part of path ("." when it has none) into folder.
void folderOf(const char* path, char (&folder)[MAX_PATH]) {
    const char* end = nullptr;
    for (const char* p = path; *p != '\0'; ++p)
        if (*p == '\\' || *p == '/')
            end = p;
    std::size_t length = end == nullptr ? 0 : static_cast<std::size_t>(end - path);
    if (length == 0 || length >= MAX_PATH) {
        std::strcpy(folder, end == path ? "\\" : ".");
        return;
    }
    std::memcpy(folder, path, length);
    folder[length] = '\0';
}

bool writeAll(HANDLE file, const char* bytes, std::size_t size) {
    while (size > 0) {
        DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, bytes, chunk, &written, nullptr) || written == 0)
            return false;
        bytes += written;
        size -= written;
    }
    return true;
}

} // namespace

bool replaceFile(const char* path, const void* bytes, std::size_t size) {
    if (isDeviceName(path))
        return false;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0)
        return false;
    char folder[MAX_PATH];
    folderOf(path, folder);
    char temporary[MAX_PATH];
    if (GetTempFileNameA(folder, "qln", 0, temporary) == 0)
        return false;
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileA(temporary);
        return false;
    }
    bool done = writeAll(file, static_cast<const char*>(bytes), size) && FlushFileBuffers(file);
    done = CloseHandle(file) && done;
    if (done && MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(temporary);
    return false;
}

} // namespace quillon
