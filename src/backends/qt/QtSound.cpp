// [x] sounds 104..109  [x] asynchronous  [x] silence without a device
#include "backends/qt/QtSound.h"

#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace quillon {

QtSound::QtSound() = default;

QtSound::~QtSound() = default;

void QtSound::play(int resourceId) {
    int index = resourceId - FIRST;
    if (index < 0 || index >= COUNT)
        return;
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
