#pragma once

#include <QString>

#include <memory>

namespace kelvo {

// A sound that is playing; destroying it stops the sound and releases the
// player.
class Playback {
public:
    virtual ~Playback() = default;
};

// Sound output. Nothing that goes wrong here may throw or block.
class Sound {
public:
    virtual ~Sound() = default;
    // Starts playing the file once; nullptr when it cannot be played.
    virtual std::unique_ptr<Playback> play(const QString& file) = 0;
    // One short audible beep.
    virtual void beep() = 0;
};

} // namespace kelvo
