// [x] sounds 104..109  [x] asynchronous  [x] silence without a device
#include "backends/qt/QtSound.h"

#include "res/ResourceIds.h"

#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <cstdio>

namespace quillon {

namespace {

QtMessageHandler handlerBeforeUs = nullptr;

// Without a sound server the audio system says so on standard error the
// first time it is asked for a device; for this program a missing server is
// silence, nothing to report. Every other message goes where it went before.
void dropSoundServerMessages(QtMsgType type, const QMessageLogContext& context,
                             const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("PulseAudioService:")))
        return;
    if (handlerBeforeUs != nullptr) {
        handlerBeforeUs(type, context, message);
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

QtSound::QtSound() {
    // Installed once per process: a second QtSound keeps the first filter.
    static const bool installed = [] {
        handlerBeforeUs = qInstallMessageHandler(dropSoundServerMessages);
        return true;
    }();
    (void)installed;
}

QtSound::~QtSound() = default;

static_assert(QUILLON_SOUND_TRAIN_PLACED - QUILLON_SOUND_SWITCH == SOUND_COUNT - 1);
static_assert(static_cast<int>(Sound::TrainPlaced) == SOUND_COUNT - 1);

void QtSound::play(Sound sound) {
    int index = static_cast<int>(sound);
    if (index < 0 || index >= COUNT)
        return;
    int resourceId = QUILLON_SOUND_SWITCH + index;
    // The default device can come and go (a headset, a sound server that
    // starts late); without one there is nothing to play on.
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return;
    if (device != device_) {
        device_ = device;
        for (auto& effect : effects_)
            effect.reset();
    }
    std::unique_ptr<QSoundEffect>& effect = effects_[index];
    if (effect == nullptr) {
        effect = std::make_unique<QSoundEffect>(device_);
        effect->setSource(QUrl(QStringLiteral("qrc:/sounds/sound%1.wav").arg(resourceId)));
    }
    if (effect->status() == QSoundEffect::Error)
        return;
    // A sound that is still loading starts once it is loaded.
    effect->play();
}

} // namespace quillon
