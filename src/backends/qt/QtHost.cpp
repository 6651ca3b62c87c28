// [x] window  [x] timers  [x] back buffer  [x] font  [x] menus  [x] tray icon
// [x] message box  [x] save dialog  [x] clipboard  [x] sound  [x] clock  [x] link
#include "backends/qt/QtHost.h"

#include "host/MenuWalk.h"

#include "backends/posix/PosixControllerLink.h"
#include "backends/posix/ReplaceFile.h"
#include "backends/qt/MainWindow.h"
#include "backends/qt/QtSound.h"
#include "backends/qt/QtSurface.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <algorithm>
#include <chrono>
#include <cstring>

// Outside any namespace, as Qt's resource initialiser requires.
static void initialiseResources() {
    Q_INIT_RESOURCE(quillon);
}

namespace quillon {
namespace {

QIcon programIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/icon101.ico"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/icons/icon103.ico"), QSize(16, 16));
    return icon;
}

// "Label (*.ext)" as Qt's name filters want it, from a label that may or may
// not name its pattern already.
QString nameFilter(const FileFilter& filter) {
    QString label = QString::fromLatin1(filter.label);
    QString pattern = QString::fromLatin1(filter.pattern);
    // Patterns are separated by ';' as on Windows; Qt wants spaces.
    pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
    // Here "*.*" would hide every file without a dot in its name; every file
    // is "*".
    if (pattern == QStringLiteral("*.*")) {
        pattern = QStringLiteral("*");
        label.replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
    }
    if (label.endsWith(QLatin1Char('(') + pattern + QLatin1Char(')')))
        return label;
    return label + QStringLiteral(" (") + pattern + QLatin1Char(')');
}

// Shows the dialog with the filters (at most two), the selected one chosen,
// and copies the path the user chose into path. False when the user
// cancelled or the path does not fit: a path cut short would name another
// file.
bool runFileDialog(QFileDialog& dialog, const FileFilter* given, int count, int selected,
                   char* path, std::size_t capacity) {
    QStringList filters;
    for (int i = 0; i < count && i < 2; ++i)
        filters << nameFilter(given[i]);
    dialog.setNameFilters(filters);
    if (selected >= 0 && selected < filters.size())
        dialog.selectNameFilter(filters[selected]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    QByteArray chosen = QFile::encodeName(dialog.selectedFiles().first());
    if (capacity == 0 || static_cast<std::size_t>(chosen.size()) >= capacity)
        return false;
    std::memcpy(path, chosen.constData(), static_cast<std::size_t>(chosen.size()) + 1);
    return true;
}

} // namespace

QtHost::QtHost(const char* socketPath)
    : window_(std::make_unique<MainWindow>(*this)), sound_(std::make_unique<QtSound>()),
      socketPath_(socketPath != nullptr && socketPath[0] != '\0' ? socketPath
                                                                 : controllerSocketPath()) {
    initialiseResources();
    QIcon icon = programIcon();
    window_->setWindowIcon(icon);
    QApplication::setWindowIcon(icon);
    for (int i = 0; i < 3; ++i) {
        timers_[i].setTimerType(Qt::PreciseTimer);
        QObject::connect(&timers_[i], &QTimer::timeout, [this, id = i + 1] {
            if (HostEvents* app = events())
                app->onTimer(id);
        });
    }
    createTrayIcon();
}

QtHost::~QtHost() {
    for (QTimer& timer : timers_)
        timer.stop();
    linkNotifier_.reset();
    tray_.reset();
    stillImage_.reset();
    backBuffer_.reset();
    window_.reset();
}

void QtHost::createTrayIcon() {
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    tray_ = std::make_unique<QSystemTrayIcon>(QIcon(QStringLiteral(":/icons/icon103.ico")));
    tray_->setToolTip(QStringLiteral("Quillon"));
    QObject::connect(tray_.get(), &QSystemTrayIcon::activated,
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         HostEvents* app = events();
                         if (app == nullptr)
                             return;
                         if (reason == QSystemTrayIcon::Trigger)
                             app->onTrayEvent(TrayEvent::LeftButtonDown);
                         else if (reason == QSystemTrayIcon::Context)
                             app->onTrayEvent(TrayEvent::RightButtonDown);
                     });
    tray_->show();
}

void QtHost::showWindow(bool handFocusBack) {
    // A connection shows the window without taking the keyboard focus from
    // the program that has it.
    window_->setAttribute(Qt::WA_ShowWithoutActivating, handFocusBack);
    Qt::WindowStates state = window_->windowState();
    if (state & Qt::WindowMinimized)
        window_->setWindowState(state & ~Qt::WindowMinimized);
    window_->show();
    // The offscreen platform cannot raise a window and would say so each time.
    if (QGuiApplication::platformName() != QStringLiteral("offscreen"))
        window_->raise();
    if (!handFocusBack)
        window_->activateWindow();
}

void QtHost::hideWindow() {
    window_->hide();
}

void QtHost::minimiseWindow() {
    window_->showMinimized();
}

bool QtHost::isWindowVisible() {
    return window_->isVisible();
}

void QtHost::setTitle(const char* title) {
    window_->setWindowTitle(QString::fromLatin1(title));
}

void QtHost::invalidate() {
    window_->update();
}

void QtHost::invalidateRect(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top)
        return;
    // One rectangle per paint: each rectangle flushed costs the X server a
    // request and the program a completion event, more than the pixels.
    pendingRepaint_ |= QRect(left, top, right - left, bottom - top);
    window_->update(pendingRepaint_);
}

void QtHost::clientSize(int& width, int& height) {
    width = window_->width();
    height = window_->height();
}

void QtHost::setOuterSize(int width, int height) {
    // Before the window is first shown its frame is unknown and counts as 0.
    QSize frame = window_->frameGeometry().size() - window_->size();
    int clientWidth = std::max(1, width - frame.width());
    int clientHeight = std::max(1, height - frame.height());
    window_->resize(clientWidth, clientHeight);
}

void QtHost::setMinimumClientSize(int width, int height) {
    window_->setMinimumSize(width, height);
}

bool QtHost::hasTrayIcon() {
    return tray_ != nullptr && tray_->isVisible();
}

void QtHost::startTimer(int id, int periodMs) {
    if (id < 1 || id > 3)
        return;
    timers_[id - 1].start(periodMs);
}

void QtHost::stopTimer(int id) {
    if (id < 1 || id > 3)
        return;
    timers_[id - 1].stop();
}

// Replaces the surface held in slot with a new one of width x height; the
// slot is empty, and the result nullptr, when the image cannot be made.
Surface* QtHost::makeSurface(std::unique_ptr<QtSurface>& slot, int width, int height) {
    slot.reset();
    if (width < 1 || height < 1)
        return nullptr;
    slot = std::make_unique<QtSurface>(width, height);
    if (slot->image().isNull()) {
        slot.reset();
        return nullptr;
    }
    return slot.get();
}

Surface* QtHost::createBackBuffer(int width, int height) {
    return makeSurface(backBuffer_, width, height);
}

void QtHost::releaseBackBuffer() {
    backBuffer_.reset();
}

void QtHost::presentBackBuffer(int width, int height) {
    if (windowPainter_ == nullptr || backBuffer_ == nullptr)
        return;
    QRect source = QRect(0, 0, width, height).intersected(backBuffer_->image().rect());
    // Only the parts being repainted are copied; the window keeps the rest.
    for (const QRect& part : dirty_) {
        QRect copied = source.intersected(part);
        if (!copied.isEmpty())
            windowPainter_->drawImage(copied.topLeft(), backBuffer_->image(), copied);
    }
    presented_ = presented_.united(source);
}

Surface* QtHost::createStillImage(int width, int height) {
    return makeSurface(stillImage_, width, height);
}

void QtHost::releaseStillImage() {
    stillImage_.reset();
}

void QtHost::copyStillImage(int left, int top, int right, int bottom) {
    if (stillImage_ == nullptr || backBuffer_ == nullptr)
        return;
    backBuffer_->copyFrom(stillImage_->image(), QRect(left, top, right - left, bottom - top));
}

void QtHost::paintWindow(QPainter& painter, const QRegion& dirty) {
    windowPainter_ = &painter;
    dirty_ = dirty;
    pendingRepaint_ = QRect();
    presented_ = QRect();
    if (HostEvents* app = events())
        app->onPaint();
    windowPainter_ = nullptr;
    // What no frame covers shows the black background, never stale pixels.
    int width = window_->width(), height = window_->height();
    if (presented_.isEmpty()) {
        painter.fillRect(0, 0, width, height, Qt::black);
        return;
    }
    int right = presented_.right() + 1, bottom = presented_.bottom() + 1;
    if (right < width)
        painter.fillRect(right, 0, width - right, height, Qt::black);
    if (bottom < height)
        painter.fillRect(0, bottom, std::min(right, width), height - bottom, Qt::black);
}

int QtHost::screenDpiY() const {
    QScreen* screen = window_->screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return 96;
    return static_cast<int>(screen->logicalDotsPerInchY() + 0.5);
}

FontHandle QtHost::createFont(FontPurpose purpose) {
    (void)purpose; // labels are the one purpose
    auto font = std::make_unique<QFont>();
    // A small fixed-pitch face that draws legibly without antialiasing.
    font->setFamilies({QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono"),
                       QStringLiteral("monospace")});
    // Six points at the screen's resolution, rounded to the nearest pixel:
    // the character height without internal leading, which is Qt's pixel
    // size.
    constexpr int LABEL_POINTS = 6;
    const int pixels = (LABEL_POINTS * screenDpiY() + 36) / 72;
    font->setPixelSize(pixels > 0 ? pixels : 8);
    font->setStyleHint(QFont::TypeWriter, QFont::NoAntialias);
    font->setFixedPitch(true);
    font->setKerning(false);
    font->setHintingPreference(QFont::PreferFullHinting);
    fonts_.push_back(std::move(font));
    return reinterpret_cast<FontHandle>(fonts_.back().get());
}

bool QtHost::measureFont(FontHandle font, FontMetrics& metrics) {
    auto held = std::find_if(fonts_.begin(), fonts_.end(), [font](const auto& f) {
        return reinterpret_cast<FontHandle>(f.get()) == font;
    });
    if (held == fonts_.end())
        return false;
    // Measured as the back buffer draws it, which is what centring needs.
    QImage device(1, 1, QImage::Format_RGB32);
    QFontMetrics measured(**held, &device);
    metrics.averageCharWidth = measured.averageCharWidth();
    metrics.cellHeight = measured.height();
    return metrics.averageCharWidth > 0 && metrics.cellHeight > 0;
}

void QtHost::deleteFont(FontHandle font) {
    auto held = std::find_if(fonts_.begin(), fonts_.end(), [font](const auto& f) {
        return reinterpret_cast<FontHandle>(f.get()) == font;
    });
    if (held == fonts_.end())
        return;
    if (backBuffer_ != nullptr)
        backBuffer_->forgetFont(font);
    fonts_.erase(held);
}

void QtHost::popupMenu(const PopupMenu& menu) {
    auto* popup = new QMenu(window_.get());
    walkMenu(
        menu, popup,
        [popup](const char* label) { return popup->addMenu(QString::fromLatin1(label)); },
        [](QMenu* into, const MenuEntry& entry, const char* label) {
            if (entry.separator) {
                into->addSeparator();
                return;
            }
            QAction* action = into->addAction(QString::fromLatin1(label));
            action->setData(entry.id);
            if (entry.checked) {
                action->setCheckable(true);
                action->setChecked(true);
            }
        });
    // The chosen entry is delivered once the menu's own event handling is over.
    QObject::connect(popup, &QMenu::triggered, popup, [this](QAction* action) {
        QMetaObject::invokeMethod(
            qApp,
            [this, id = action->data().toInt()] {
                if (HostEvents* app = events())
                    app->onCommand(id);
            },
            Qt::QueuedConnection);
    });
    QObject::connect(popup, &QMenu::aboutToHide, popup, &QObject::deleteLater);
    // popup() returns at once; the timers run on while the menu is open.
    popup->popup(QCursor::pos());
}

void QtHost::messageBox(const char* text, MessageIcon icon) {
    QMessageBox box(
        icon == MessageIcon::Information ? QMessageBox::Information : QMessageBox::Critical,
        QStringLiteral("Quillon"), QString::fromLocal8Bit(text), QMessageBox::Ok, window_.get());
    box.exec();
}

bool QtHost::saveFileDialog(const SaveDialogRequest& request, char* path, std::size_t capacity) {
    QFileDialog dialog(window_.get());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (request.defaultExtension != nullptr)
        dialog.setDefaultSuffix(QString::fromLatin1(request.defaultExtension));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.promptOverwrite);
    dialog.selectFile(QString::fromLocal8Bit(path));
    return runFileDialog(dialog, request.filters, request.filterCount, request.selectedFilter, path,
                         capacity);
}

bool QtHost::openFileDialog(const OpenDialogRequest& request, char* path, std::size_t capacity) {
    QFileDialog dialog(window_.get());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return runFileDialog(dialog, request.filters, request.filterCount, request.selectedFilter, path,
                         capacity);
}

FileStamp QtHost::fileStamp(const char* path) {
    const QFileInfo file(QFile::decodeName(path));
    if (!file.exists())
        return {};
    FileStamp stamp;
    stamp.exists = true;
    stamp.modified = file.lastModified().toMSecsSinceEpoch();
    stamp.size = static_cast<std::uint64_t>(file.size());
    return stamp;
}

bool QtHost::setClipboardText(const char* text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return false;
    clipboard->setText(QString::fromLatin1(text));
    return true;
}

bool QtHost::replaceFile(const char* path, const void* bytes, std::size_t size) {
    return quillon::replaceFile(path, bytes, size);
}

void QtHost::playSound(Sound sound) {
    sound_->play(sound);
}

std::uint32_t QtHost::milliseconds() {
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void QtHost::quit(int exitCode) {
    QCoreApplication::exit(exitCode);
}

std::unique_ptr<ControllerLink> QtHost::createControllerLink() {
    return std::make_unique<PosixControllerLink>(socketPath_.c_str());
}

bool QtHost::watchLink(ControllerLink* link) {
    auto* posix = dynamic_cast<PosixControllerLink*>(link);
    int fd = posix != nullptr ? posix->descriptor() : -1;
    if (fd < 0) {
        if (linkNotifier_ != nullptr)
            linkNotifier_->setEnabled(false);
        return link == nullptr || posix != nullptr;
    }
    if (linkNotifier_ != nullptr && notifiedFd_ == fd) {
        linkNotifier_->setEnabled(true);
        return true;
    }
    linkNotifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    notifiedFd_ = fd;
    QObject::connect(linkNotifier_.get(), &QSocketNotifier::activated, [this] {
        if (HostEvents* app = events())
            app->onLinkReadable();
    });
    return true;
}

} // namespace quillon
