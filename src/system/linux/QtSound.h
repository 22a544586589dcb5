#pragma once

#include "system/Sound.h"

#include <memory>

namespace kelvo {

// Sound output through Qt Multimedia. Players are built only when a sound is
// actually played, and nothing is attempted while the system has no audio
// output: some media back ends crash when asked to play into none.
class QtSound : public Sound {
public:
    QtSound();
    ~QtSound() override;

    std::unique_ptr<Playback> play(const QString& file, bool repeat) override;
    // Plays the program's own short beep; the X bell only when there is no
    // audio output.
    void beep() override;

private:
    std::unique_ptr<Playback> m_beep;
};

} // namespace kelvo
