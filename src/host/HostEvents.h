// What a platform delivers to the application: window events, timer ticks,
// menu choices and tray clicks, in the program's own terms. A backend maps
// its platform's keys, buttons and messages onto these.
#pragma once

namespace quillon {

// The keys the program answers; every other key is Other.
enum class Key { A, B, C, F1, F2, Other };

enum class PointerButton { Left, Right, Middle };

enum class TrayEvent { LeftButtonDown, RightButtonDown };

class HostEvents {
public:
    virtual void onTimer(int id) = 0;
    // A size change of the client area, or the window was minimised.
    virtual void onSize(bool minimised, int width, int height) = 0;
    // Composes the frame and presents it; called inside the paint event.
    virtual void onPaint() = 0;
    // The close box.
    virtual void onClose() = 0;
    // A key press; true when the key was consumed, false when the
    // platform's default handling applies.
    virtual bool onKeyDown(Key key, bool controlDown) = 0;
    // Pointer positions are pixels from the client area's top-left corner;
    // one outside the client area (while a button is held) may be negative.
    virtual void onPointerMove(int x, int y) = 0;
    virtual void onButtonDown(int x, int y, PointerButton button) = 0;
    // A chosen menu entry.
    virtual void onCommand(int id) = 0;
    virtual void onTrayEvent(TrayEvent event) = 0;
    // Bytes or the end of the stream wait on the link the application asked
    // the host to watch; a receiver that never asks needs no handler.
    virtual void onLinkReadable() {}

protected:
    ~HostEvents() = default;
};

} // namespace quillon
