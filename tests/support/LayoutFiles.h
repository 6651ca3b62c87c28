// Layout files for tests: a folder of their own that goes with the test,
// and layout A in the node table form.
#pragma once

#include "sim/World.h"
#include "track/LayoutText.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace quillon::testing {

// A fresh folder under the system's temporary folder, removed with all it
// holds when the value goes.
class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> made{0};
        path_ = std::filesystem::temp_directory_path() /
                ("quillon-test-" + std::to_string(::getpid()) + "-" + std::to_string(made++));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Writes text to the file name in the folder; its path.
    std::string write(const std::string& name, const std::string& text) const {
        const std::string file = path(name);
        std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
        return file;
    }
    std::string path(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Layout A as a layout file: "track 72" and its node table.
inline std::string layoutAText() {
    const World world = makeWorld();
    return formatLayoutText(world.layouts.tracks[LAYOUT_A]).value_or("");
}

// Layout A with one node renamed; the name from must stand in it.
inline std::string layoutAWithRenamed(const std::string& from, const std::string& to) {
    std::string text = layoutAText();
    const std::size_t at = text.find(" " + from + " ");
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at + 1, from.size(), to);
}

// A layout file with two mistakes: an edge to no node on line 3, a
// distance of 0 on line 5.
inline std::string twoMistakesText() {
    return "track 2\n0 X1 stop 0 0 0 1\n  5 ahead 10\n1 X2 stop 0 9 9 1\n  0 ahead 0\n";
}

} // namespace quillon::testing
