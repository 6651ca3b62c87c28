// [x] whole file or nothing  [x] flushed to disk  [x] regular files only
#include "backends/posix/ReplaceFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon {
namespace {

bool writeAll(int fd, const char* bytes, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, bytes, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool replaceFile(const char* path, const void* bytes, std::size_t size) {
    struct stat existing {};
    bool replacing = ::stat(path, &existing) == 0;
    if (replacing && !S_ISREG(existing.st_mode))
        return false;
    std::string temporary = std::string(path) + ".XXXXXX";
    int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    // The new file gets the mode a newly created file would get, or the old
    // file's mode when it replaces one.
    mode_t mode = existing.st_mode & 07777;
    if (!replacing) {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    bool done = ::fchmod(fd, mode) == 0 && writeAll(fd, static_cast<const char*>(bytes), size) &&
                ::fsync(fd) == 0;
    done = ::close(fd) == 0 && done;
    if (done && ::rename(temporary.c_str(), path) == 0)
        return true;
    ::unlink(temporary.c_str());
    return false;
}

} // namespace quillon
