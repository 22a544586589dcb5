#include "system/linux/QtSound.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

// The beep lives in a resource of this static library, which has to be
// registered by hand; Q_INIT_RESOURCE must be used outside any namespace.
static void registerSoundResources() {
    Q_INIT_RESOURCE(sounds);
}

namespace kelvo {
namespace {

bool hasAudioOutput() {
    return !QMediaDevices::audioOutputs().isEmpty();
}

// One playing sound. Errors of the player surface later and asynchronously;
// they are left alone, so a file that cannot be played is simply silent.
class MediaPlayback : public Playback {
public:
    explicit MediaPlayback(const QUrl& source) {
        m_player.setAudioOutput(&m_output);
        m_player.setSource(source);
        m_player.play();
    }
    ~MediaPlayback() override { m_player.stop(); }

private:
    // Declared first so that it outlives the player that plays into it.
    QAudioOutput m_output;
    QMediaPlayer m_player;
};

} // namespace

QtSound::QtSound() {
    registerSoundResources();
}

QtSound::~QtSound() = default;

std::unique_ptr<Playback> QtSound::play(const QString& file) {
    if (!QFileInfo(file).isFile() || !hasAudioOutput())
        return nullptr;
    return std::make_unique<MediaPlayback>(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
}

void QtSound::beep() {
    if (!hasAudioOutput()) {
        QApplication::beep();
        return;
    }
    // Through the media player like the sound files: QSoundEffect stops its
    // output as soon as it has handed over the last sample, and with
    // PulseAudio that drops the still buffered rest of a sound this short,
    // so the beep was never heard. A new beep replaces the one before.
    m_beep = std::make_unique<MediaPlayback>(QUrl(QStringLiteral("qrc:/sounds/beep.wav")));
}

} // namespace kelvo
