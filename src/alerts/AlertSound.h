#pragma once

#include <QString>

#include <memory>

class QTimer;

namespace kelvo {

class Playback;
struct Platform;

// The sound of one alert, for as long as this object lives: the file played
// once, or with `repeat` over and over until the alert is closed. Without a
// file it beeps (every few seconds when repeating). A file that cannot be
// played beeps once instead, and the first such failure of a run is told in
// the tray's message with the file and the reason.
class AlertSound {
public:
    AlertSound(Platform& platform, const QString& file, bool repeat);
    ~AlertSound();
    AlertSound(const AlertSound&) = delete;
    AlertSound& operator=(const AlertSound&) = delete;

    // Test hook: the next failure is told again.
    static void forgetToldFailure();

private:
    void failed(const QString& reason);

    Platform& m_platform;
    const QString m_file;
    std::unique_ptr<Playback> m_playback;
    std::unique_ptr<QTimer> m_beeps;
};

} // namespace kelvo
