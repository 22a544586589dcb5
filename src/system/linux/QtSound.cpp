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

// Why the player failed, in the user's language; the player's own words
// (often from its back end, in English) for what has no name here.
QString playerReason(QMediaPlayer::Error error, const QString& text) {
    switch (error) {
    case QMediaPlayer::ResourceError:
        return QStringLiteral("文件无法读取或解码");
    case QMediaPlayer::FormatError:
        return QStringLiteral("不支持这种声音格式");
    case QMediaPlayer::AccessDeniedError:
        return QStringLiteral("没有读取它的权限");
    case QMediaPlayer::NetworkError:
        return QStringLiteral("网络出错");
    default:
        return text;
    }
}

// One playing sound. The player's errors surface later and asynchronously;
// they fail the playback with their reason.
class MediaPlayback : public Playback {
public:
    MediaPlayback(const QUrl& source, bool repeat) {
        m_player.setAudioOutput(&m_output);
        QObject::connect(&m_player, &QMediaPlayer::errorOccurred, &m_player,
                         [this](QMediaPlayer::Error error, const QString& text) {
                             fail(playerReason(error, text));
                         });
        m_player.setLoops(repeat ? QMediaPlayer::Infinite : QMediaPlayer::Once);
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

std::unique_ptr<Playback> QtSound::play(const QString& file, bool repeat) {
    if (!QFileInfo(file).isFile())
        return failed(QStringLiteral("文件不存在"));
    if (!hasAudioOutput())
        return failed(QStringLiteral("没有声音输出设备"));
    return std::make_unique<MediaPlayback>(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()),
                                           repeat);
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
    m_beep = std::make_unique<MediaPlayback>(QUrl(QStringLiteral("qrc:/sounds/beep.wav")), false);
}

} // namespace kelvo
