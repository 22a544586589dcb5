#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace kelvo {

// A sound that is playing; destroying it stops the sound and releases the
// player. A sound that cannot be played fails, at once or once the player
// finds out, with a reason for the user.
class Playback {
public:
    virtual ~Playback() = default;

    // `failed` is called once with the reason if the sound fails, also when
    // it failed before the call.
    void onFailure(std::function<void(const QString&)> failed) {
        m_failed = std::move(failed);
        if (m_failure && m_failed)
            m_failed(*m_failure);
    }

protected:
    void fail(const QString& reason) {
        if (m_failure)
            return;
        m_failure = reason;
        if (m_failed)
            m_failed(reason);
    }

private:
    std::optional<QString> m_failure;
    std::function<void(const QString&)> m_failed;
};

// Sound output. Nothing that goes wrong here may throw or block.
class Sound {
public:
    virtual ~Sound() = default;
    // Starts playing the file once, or with `repeat` over and over until the
    // playback is destroyed. Never null: a sound that cannot be played fails.
    virtual std::unique_ptr<Playback> play(const QString& file, bool repeat) = 0;
    // One short audible beep.
    virtual void beep() = 0;

protected:
    // A playback that has failed already.
    static std::unique_ptr<Playback> failed(const QString& reason) {
        struct Failed : Playback {
            explicit Failed(const QString& reason) { fail(reason); }
        };
        return std::make_unique<Failed>(reason);
    }
};

} // namespace kelvo
