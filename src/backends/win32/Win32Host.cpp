// [x] window, resizable above a minimum size  [x] timers  [x] GDI back buffer
// [x] fonts  [x] popup menus with submenus
// [x] tray icon  [x] message box  [x] save and open dialogs  [x] file stamps
// [x] clipboard
// [x] sound from resources  [x] clock  [x] named-pipe link "\\.\pipe\track"
// [x] woken reads, in the message loop and in modal loops
// [x] still image  [x] one invalidated rectangle per frame
#include "backends/win32/Win32Host.h"

#include "app/StepTiming.h"
#include "backends/win32/Clipboard.h"
#include "backends/win32/NamedPipeLink.h"
#include "backends/win32/ReplaceFile.h"
#include "host/MenuWalk.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstring>

namespace quillon {
namespace {

// While it lives, the host's link timer runs on the window: a modal loop
// dispatches its ticks, so that the watched link is read meanwhile.
struct ModalReads {
    explicit ModalReads(HWND window) : window(window) {
        SetTimer(window, Win32Host::LINK_TIMER_ID, STEP_PERIOD_MS, nullptr);
    }
    ~ModalReads() { KillTimer(window, Win32Host::LINK_TIMER_ID); }
    ModalReads(const ModalReads&) = delete;
    ModalReads& operator=(const ModalReads&) = delete;
    HWND window;
};

} // namespace

Win32Host::~Win32Host() {
    backBuffer_.release();
    stillImage_.release();
}

void Win32Host::showWindow(bool handFocusBack) {
    if (handFocusBack) {
        // Shown without activation, the window that has the keyboard focus
        // keeps it.
        ShowWindow(window_, SW_SHOWNOACTIVATE);
        return;
    }
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
}

void Win32Host::hideWindow() {
    ShowWindow(window_, SW_HIDE);
}

void Win32Host::minimiseWindow() {
    ShowWindow(window_, SW_MINIMIZE);
}

bool Win32Host::isWindowVisible() {
    return IsWindowVisible(window_) != FALSE;
}

void Win32Host::setTitle(const char* title) {
    SetWindowTextA(window_, title);
}

void Win32Host::invalidate() {
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE);
}

void Win32Host::clientSize(int& width, int& height) {
    RECT rect{};
    GetClientRect(window_, &rect);
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
}

void Win32Host::setOuterSize(int width, int height) {
    SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Host::limitTracking(MINMAXINFO& info) const {
    if (window_ == nullptr || minimumWidth_ <= 0 || minimumHeight_ <= 0)
        return;
    RECT outer{0, 0, minimumWidth_, minimumHeight_};
    const DWORD style = static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE));
    const DWORD extendedStyle = static_cast<DWORD>(GetWindowLongA(window_, GWL_EXSTYLE));
    if (!AdjustWindowRectEx(&outer, style, FALSE, extendedStyle))
        return;
    info.ptMinTrackSize.x = std::max<LONG>(info.ptMinTrackSize.x, outer.right - outer.left);
    info.ptMinTrackSize.y = std::max<LONG>(info.ptMinTrackSize.y, outer.bottom - outer.top);
}

void Win32Host::startTimer(int id, int periodMs) {
    SetTimer(window_, static_cast<UINT_PTR>(id), static_cast<UINT>(periodMs), nullptr);
}

void Win32Host::stopTimer(int id) {
    KillTimer(window_, static_cast<UINT_PTR>(id));
}

Surface* Win32Host::createBackBuffer(int width, int height) {
    HDC windowDc = GetDC(window_);
    bool created = backBuffer_.create(windowDc, width, height);
    ReleaseDC(window_, windowDc);
    return created ? &backBuffer_.surface() : nullptr;
}

void Win32Host::releaseBackBuffer() {
    backBuffer_.release();
}

void Win32Host::presentBackBuffer(int width, int height) {
    // The paint context clips the copy to the invalidated rectangle.
    backBuffer_.present(paintDc_, width, height);
}

Surface* Win32Host::createStillImage(int width, int height) {
    HDC windowDc = GetDC(window_);
    const bool created = stillImage_.create(windowDc, width, height);
    ReleaseDC(window_, windowDc);
    return created ? &stillImage_.surface() : nullptr;
}

void Win32Host::releaseStillImage() {
    stillImage_.release();
}

void Win32Host::copyStillImage(int left, int top, int right, int bottom) {
    backBuffer_.copyFrom(stillImage_, left, top, right, bottom);
}

void Win32Host::invalidateRect(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top)
        return;
    const RECT box{left, top, right, bottom};
    if (IsRectEmpty(&pending_))
        pending_ = box;
    else
        UnionRect(&pending_, &pending_, &box);
    InvalidateRect(window_, &pending_, FALSE);
}

FontHandle Win32Host::createFont(FontPurpose purpose) {
    (void)purpose; // labels are the one purpose
    constexpr int LABEL_POINTS = 6;
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(desktop, dc);
    // A negative height asks for the character height without the internal
    // leading: the point size at the screen's resolution.
    HFONT font = CreateFontA(-MulDiv(LABEL_POINTS, dpi, 72), 0, 0, 0, FW_DONTCARE, FALSE, FALSE,
                             FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             NONANTIALIASED_QUALITY, FIXED_PITCH | FF_DONTCARE, "Terminal");
    return reinterpret_cast<FontHandle>(font);
}

bool Win32Host::measureFont(FontHandle font, FontMetrics& metrics) {
    if (font == 0)
        return false;
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(font));
    TEXTMETRICA text{};
    bool measured = GetTextMetricsA(dc, &text) != FALSE;
    SelectObject(dc, previous);
    ReleaseDC(desktop, dc);
    if (!measured)
        return false;
    metrics.averageCharWidth = text.tmAveCharWidth;
    metrics.cellHeight = text.tmHeight;
    return true;
}

void Win32Host::deleteFont(FontHandle font) {
    if (font != 0)
        DeleteObject(reinterpret_cast<HFONT>(font));
}

void Win32Host::popupMenu(const PopupMenu& menu) {
    HMENU popup = CreatePopupMenu();
    if (popup == nullptr)
        return;
    walkMenu(
        menu, popup,
        [popup](const char* label) {
            // Destroying the menu destroys the submenus appended to it.
            HMENU submenu = CreatePopupMenu();
            if (submenu != nullptr)
                AppendMenuA(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), label);
            return submenu;
        },
        [](HMENU into, const MenuEntry& entry, const char* label) {
            if (entry.separator) {
                AppendMenuA(into, MF_SEPARATOR, 0, nullptr);
                return;
            }
            AppendMenuA(into, MF_STRING | (entry.checked ? MF_CHECKED : MF_UNCHECKED),
                        static_cast<UINT_PTR>(entry.id), label);
        });
    POINT cursor{};
    GetCursorPos(&cursor);
    // A menu opened from the tray closes on a click elsewhere only while its
    // owner is the foreground window.
    SetForegroundWindow(window_);
    // The chosen entry arrives later as a WM_COMMAND posted to the window.
    {
        ModalReads reads(window_);
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window_,
                       nullptr);
    }
    PostMessageA(window_, WM_NULL, 0, 0);
    DestroyMenu(popup);
}

void Win32Host::messageBox(const char* text, MessageIcon icon) {
    ModalReads reads(window_);
    MessageBoxA(window_, text, "Quillon", MB_OK | messageBoxIcon(icon));
}

bool prepareSaveDialog(const SaveDialogRequest& request, HWND owner, char* path,
                       std::size_t capacity, SaveDialog& dialog) {
    dialog = SaveDialog{};
    std::size_t used = 0;
    for (int i = 0; i < request.filterCount && i < 2; ++i) {
        for (const char* part : {request.filters[i].label, request.filters[i].pattern}) {
            const std::size_t length = std::strlen(part) + 1;
            if (used + length + 1 > sizeof dialog.filter)
                return false;
            std::memcpy(dialog.filter + used, part, length);
            used += length;
        }
    }
    OPENFILENAMEA& record = dialog.record;
    record.lStructSize = sizeof record;
    record.hwndOwner = owner;
    record.lpstrFilter = dialog.filter;
    // The dialog counts its filters from 1.
    record.nFilterIndex = static_cast<DWORD>(request.selectedFilter + 1);
    record.lpstrFile = path;
    record.nMaxFile = static_cast<DWORD>(capacity);
    record.lpstrDefExt = request.defaultExtension;
    record.Flags = OFN_EXPLORER;
    if (request.promptOverwrite)
        record.Flags |= OFN_OVERWRITEPROMPT;
    if (request.hideReadOnly)
        record.Flags |= OFN_HIDEREADONLY;
    if (request.pathMustExist)
        record.Flags |= OFN_PATHMUSTEXIST;
    return true;
}

bool Win32Host::saveFileDialog(const SaveDialogRequest& request, char* path, std::size_t capacity) {
    SaveDialog dialog;
    if (!prepareSaveDialog(request, window_, path, capacity, dialog))
        return false;
    ModalReads reads(window_);
    return GetSaveFileNameA(&dialog.record) != FALSE;
}

bool Win32Host::openFileDialog(const OpenDialogRequest& request, char* path, std::size_t capacity) {
    if (capacity == 0)
        return false;
    path[0] = '\0';
    SaveDialogRequest asSave{};
    for (int i = 0; i < request.filterCount && i < 2; ++i)
        asSave.filters[i] = request.filters[i];
    asSave.filterCount = request.filterCount;
    asSave.selectedFilter = request.selectedFilter;
    asSave.hideReadOnly = true;
    SaveDialog dialog;
    if (!prepareSaveDialog(asSave, window_, path, capacity, dialog))
        return false;
    dialog.record.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    ModalReads reads(window_);
    return GetOpenFileNameA(&dialog.record) != FALSE;
}

FileStamp Win32Host::fileStamp(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return {};
    FileStamp stamp;
    stamp.exists = true;
    stamp.modified = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
        data.ftLastWriteTime.dwLowDateTime);
    stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return stamp;
}

bool Win32Host::setClipboardText(const char* text) {
    return copyTextToClipboard(window_, text);
}

bool Win32Host::replaceFile(const char* path, const void* bytes, std::size_t size) {
    return quillon::replaceFile(path, bytes, size);
}

void Win32Host::playSound(Sound sound) {
    PlaySoundA(MAKEINTRESOURCEA(soundResourceId(sound)), instance_, SND_RESOURCE | SND_ASYNC);
}

std::uint32_t Win32Host::milliseconds() {
    return timeGetTime();
}

void Win32Host::quit(int exitCode) {
    PostQuitMessage(exitCode);
}

std::unique_ptr<ControllerLink> Win32Host::createControllerLink() {
    return std::make_unique<NamedPipeLink>(pipeName_.c_str());
}

bool Win32Host::watchLink(ControllerLink* link) {
    watched_ = wokenReads_ ? dynamic_cast<NamedPipeLink*>(link) : nullptr;
    return link == nullptr || watched_ != nullptr;
}

bool Win32Host::dispatchNext(DWORD timeoutMs, int& exitCode) {
    MSG message;
    // Asked for again at each wait: the link makes its read ahead anew
    // after every read that took the byte.
    HANDLE bytes = watched_ != nullptr ? watched_->readableEvent() : nullptr;
    const DWORD woke = MsgWaitForMultipleObjectsEx(bytes != nullptr ? 1 : 0, &bytes, timeoutMs,
                                                   QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    // The lowest index wins when both are ready: bytes before messages.
    if (bytes != nullptr && woke == WAIT_OBJECT_0) {
        if (HostEvents* app = events())
            app->onLinkReadable();
        return true;
    }
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            exitCode = static_cast<int>(message.wParam);
            return false;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}

void Win32Host::onLinkTimer() {
    HANDLE bytes = watched_ != nullptr ? watched_->readableEvent() : nullptr;
    if (bytes == nullptr || WaitForSingleObject(bytes, 0) != WAIT_OBJECT_0)
        return;
    if (HostEvents* app = events())
        app->onLinkReadable();
}

int Win32Host::runMessageLoop() {
    int exitCode = 0;
    while (dispatchNext(INFINITE, exitCode)) {
    }
    return exitCode;
}

} // namespace quillon
