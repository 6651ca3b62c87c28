// What the application asks of a platform, in the program's own terms. A
// backend implements Host once per platform; tests implement it with a
// recording fake. Everything here runs on the one GUI thread. Backends carry
// out requests and deliver events; every decision about when to make them
// lives in the application.
#pragma once

#include "host/HostEvents.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace quillon {

class ControllerLink;

// A colour by its red, green and blue intensities, 0 to 255 each.
struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend constexpr bool operator==(const Colour&, const Colour&) = default;
};
constexpr Colour rgb(int red, int green, int blue) {
    return {static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green),
            static_cast<std::uint8_t>(blue)};
}

enum class MessageIcon {
    Error,       // every error the user must see
    Information, // the About box
};

// The program's sounds, in the order of their resources.
enum class Sound {
    Switch,      // a switch changes direction
    Collision,   // two trains collide
    Halt,        // a train halts at a stop or has no way on
    Sensor,      // the user fires a sensor
    TrainMoved,  // a placed train is placed again
    TrainPlaced, // a new train is placed
};
constexpr int SOUND_COUNT = 6;

// A platform font; 0 is no font.
using FontHandle = std::uintptr_t;

// What a font is for; each platform picks the face and size that serve it.
enum class FontPurpose {
    // The display's names, train numbers and notices: small, fixed pitch,
    // without antialiasing, sized for the screen's resolution.
    Labels,
};

struct FontMetrics {
    int averageCharWidth; // pixels
    int cellHeight;       // pixels, ascent plus descent
};

// How a text is drawn: in a font (0: the font the surface last drew text
// with, at first its own), in a colour, and on a background that fills each
// character cell, or on none.
struct TextStyle {
    FontHandle font = 0;
    Colour colour;
    bool filled = false; // the cells are filled with background first
    Colour background;
};

// A drawing target (the back buffer). Coordinates are pixels from the
// top-left corner.
class Surface {
public:
    virtual ~Surface() = default;
    // Fills [left, right) x [top, bottom) with a solid colour.
    virtual void fillRect(int left, int top, int right, int bottom, Colour colour) = 0;
    // The ellipse inscribed in the box, filled with colour and outlined with
    // a 1-pixel black line.
    virtual void fillEllipse(int left, int top, int right, int bottom, Colour colour) = 0;
    // A 1-pixel line from (x1, y1) towards (x2, y2), the end point excluded.
    virtual void drawLine(int x1, int y1, int x2, int y2, Colour colour) = 0;
    // Draws length characters of text in the style, the top-left corner of
    // the first character cell at (x, y).
    virtual void drawText(int x, int y, const char* text, int length, const TextStyle& style) = 0;
};

// One entry of a popup menu: a command, a separator, or a submenu.
struct MenuEntry {
    int id;         // command id; 0 for a separator or a submenu
    char label[24]; // empty for a separator
    bool checked;
    bool separator;
    // A submenu titled label: it holds the next `submenu` entries of the
    // menu, commands and separators only. 0 for any other entry.
    int submenu;
};

// A popup menu built as data, at most CAPACITY entries.
struct PopupMenu {
    static constexpr int CAPACITY = 20;
    MenuEntry entries[CAPACITY];
    int count;
};

struct FileFilter {
    const char* label;   // "Raw Track Data (*.dat)"
    const char* pattern; // "*.dat"
};

// The properties of the save-file dialog.
struct SaveDialogRequest {
    FileFilter filters[2];
    int filterCount;
    int selectedFilter;           // index into filters
    const char* defaultExtension; // added when the user types a name without one
    bool promptOverwrite;         // ask before replacing an existing file
    bool hideReadOnly;            // no "open read-only" choice
    bool pathMustExist;           // the folder must exist
};

// The properties of the open-file dialog: the file chosen must exist.
struct OpenDialogRequest {
    FileFilter filters[2];
    int filterCount;
    int selectedFilter; // index into filters
};

// What tells that a file changed: equal stamps, most likely the same
// contents. A file that cannot be found has the stamp {}.
struct FileStamp {
    bool exists = false;
    std::int64_t modified = 0; // in the platform's own units
    std::uint64_t size = 0;    // bytes
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

class Host {
public:
    virtual ~Host() = default;

    // The receiver of this host's events: the application attaches itself
    // once it is built and detaches before it goes. Events that arrive while
    // nothing is attached are dropped.
    void attach(HostEvents* events) { events_ = events; }
    HostEvents* events() const { return events_; }

    // Window. showWindow(true) shows it without taking the keyboard focus
    // (a connection never takes the focus); showWindow(false) shows and
    // activates it.
    virtual void showWindow(bool handFocusBack) = 0;
    virtual void hideWindow() = 0;
    virtual void minimiseWindow() = 0;
    virtual bool isWindowVisible() = 0;
    virtual void setTitle(const char* title) = 0;
    // Asks for a paint event; the frame is drawn when it comes.
    virtual void invalidate() = 0;
    // Asks for a paint event that covers at least [left, right) x [top,
    // bottom); a platform that cannot say which part may repaint it all.
    virtual void invalidateRect(int left, int top, int right, int bottom) {
        (void)left, (void)top, (void)right, (void)bottom;
        invalidate();
    }
    virtual void clientSize(int& width, int& height) = 0;
    // Sets the window's outer size without moving it. The user may resize
    // the window afterwards; every change of its client size arrives as
    // HostEvents::onSize.
    virtual void setOuterSize(int width, int height) = 0;
    // The user cannot make the client area smaller than width x height.
    virtual void setMinimumClientSize(int width, int height) { (void)width, (void)height; }
    // True while a notification-area icon stands for the program, so that a
    // hidden window can be reached again.
    virtual bool hasTrayIcon() = 0;

    // Timers 1, 2 and 3; starting a running timer restarts it.
    virtual void startTimer(int id, int periodMs) = 0;
    virtual void stopTimer(int id) = 0;

    // The back buffer: a surface of width x height, or nullptr on failure.
    // It stays valid until releaseBackBuffer.
    virtual Surface* createBackBuffer(int width, int height) = 0;
    virtual void releaseBackBuffer() = 0;
    // Copies width x height pixels from the back buffer's origin to the
    // window's; called only while a paint event is handled. Where the
    // platform paints only part of the window, the rest stays as it was.
    virtual void presentBackBuffer(int width, int height) = 0;

    // The still image: a second surface of width x height that keeps what is
    // drawn into it until releaseStillImage, or nullptr when the platform
    // keeps none (the application then composes every frame in full).
    virtual Surface* createStillImage(int width, int height) {
        (void)width, (void)height;
        return nullptr;
    }
    virtual void releaseStillImage() {}
    // Copies [left, right) x [top, bottom) of the still image to the same
    // place in the back buffer; the part outside either surface is left out.
    virtual void copyStillImage(int left, int top, int right, int bottom) {
        (void)left, (void)top, (void)right, (void)bottom;
    }

    // Fonts: a font for the purpose, or 0 when the platform has none.
    virtual FontHandle createFont(FontPurpose purpose) = 0;
    // Measures the font as the platform will draw it; false if it cannot.
    virtual bool measureFont(FontHandle font, FontMetrics& metrics) = 0;
    virtual void deleteFont(FontHandle font) = 0;

    // Shows the menu at the pointer. When the user picks an entry, the
    // backend later delivers its id to HostEvents::onCommand (never from
    // within this call); a dismissed menu delivers nothing.
    virtual void popupMenu(const PopupMenu& menu) = 0;

    // A modal message box with the caption "Quillon"; returns when closed.
    virtual void messageBox(const char* text, MessageIcon icon) = 0;
    // The save-file dialog. path holds the proposed name on entry and the
    // chosen path on return; false when the user cancelled.
    virtual bool saveFileDialog(const SaveDialogRequest& request, char* path,
                                std::size_t capacity) = 0;
    // The open-file dialog. path receives the chosen file's path, NUL
    // terminated; false when the user cancelled or the path does not fit in
    // capacity. A platform without one has no file to offer.
    virtual bool openFileDialog(const OpenDialogRequest& request, char* path,
                                std::size_t capacity) {
        (void)request, (void)path, (void)capacity;
        return false;
    }
    // The stamp of the file at path as it is now; cheap enough to ask once a
    // second. A platform that cannot tell gives {} for every file.
    virtual FileStamp fileStamp(const char* path) {
        (void)path;
        return {};
    }
    // Replaces the clipboard's contents with the text; true on success.
    virtual bool setClipboardText(const char* text) = 0;
    // Makes the file at path hold exactly size bytes, or leaves whatever was
    // there unchanged: the bytes go to a new file beside it, flushed to disk,
    // which then takes the path's place. A path that names anything but a
    // regular file (a FIFO, a device) is refused at once. True on success.
    virtual bool replaceFile(const char* path, const void* bytes, std::size_t size) = 0;
    // Plays a sound asynchronously; never blocks, silent without an audio
    // device.
    virtual void playSound(Sound sound) = 0;
    // Milliseconds from an arbitrary origin, wrapping at 2^32.
    virtual std::uint32_t milliseconds() = 0;
    // Ends the event loop with the exit code once the current event is done.
    virtual void quit(int exitCode) = 0;
    // The controller link of this platform at its well-known place, not yet
    // connected.
    virtual std::unique_ptr<ControllerLink> createControllerLink() = 0;
    // From now on, delivers HostEvents::onLinkReadable whenever bytes, or
    // the end of the stream, wait on the stream the link has open; nullptr
    // stops it. The link is one this host made; after each connect the call
    // is made again, since a new stream is a new handle. False when the
    // platform cannot wake the application so: it then reads on a timer.
    virtual bool watchLink(ControllerLink* link) {
        (void)link;
        return false;
    }

private:
    HostEvents* events_ = nullptr;
};

} // namespace quillon
