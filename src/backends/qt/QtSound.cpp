// [x] sounds 104..109  [x] asynchronous  [x] silence without a device
#include "backends/qt/QtSound.h"

#include "res/ResourceIds.h"

#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace quillon {

QtSound::QtSound() = default;

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
