// [x] sounds 104..109 from the program's resources  [x] asynchronous
// [x] silence without an audio device
//
// Plays the program's sounds. Nothing is loaded until the first sound is
// asked for, so that a program that never makes a sound never touches the
// audio system.
#pragma once

#include "host/Host.h"

#include <QAudioDevice>
#include <memory>

class QSoundEffect;

namespace quillon {

class QtSound {
public:
    QtSound();
    ~QtSound();
    QtSound(const QtSound&) = delete;
    QtSound& operator=(const QtSound&) = delete;

    // Starts the sound and returns at once. A missing audio device or a
    // sound that cannot be decoded gives silence.
    void play(Sound sound);

private:
    static constexpr int COUNT = SOUND_COUNT;

    QAudioDevice device_;
    std::unique_ptr<QSoundEffect> effects_[COUNT];
};

} // namespace quillon
