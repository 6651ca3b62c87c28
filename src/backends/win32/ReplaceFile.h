// [x] whole file or nothing  [x] flushed to disk before it replaces
// [x] refuses folders, devices and pipes
//
// Writing a file so that a failure never costs the user the file that was
// there before.
#pragma once

#include <cstddef>

namespace quillon {

// Writes size bytes to a new file in the folder of path, flushes it to disk
// and moves it over path. True when path now holds exactly the bytes. On
// false, whatever was at path is unchanged and no temporary file is left.
// A folder, a device or a name in the device namespace (\\.\...) is refused
// before anything is opened.
bool replaceFile(const char* path, const void* bytes, std::size_t size);

} // namespace quillon
