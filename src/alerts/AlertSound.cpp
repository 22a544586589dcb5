#include "alerts/AlertSound.h"

#include "system/Platform.h"
#include "system/Sound.h"
#include "system/Tray.h"

#include <QFileInfo>
#include <QTimer>

namespace kelvo {
namespace {

constexpr int kBeepIntervalMs = 2000;
constexpr int kMessageSeconds = 10;

bool g_toldFailure = false;

} // namespace

AlertSound::AlertSound(Platform& platform, const QString& file, bool repeat)
    : m_platform(platform), m_file(file) {
    if (file.isEmpty()) {
        m_platform.sound.beep();
        if (repeat) {
            m_beeps = std::make_unique<QTimer>();
            QObject::connect(m_beeps.get(), &QTimer::timeout, [this] { m_platform.sound.beep(); });
            m_beeps->start(kBeepIntervalMs);
        }
    } else if (!QFileInfo(file).isFile()) {
        failed(QStringLiteral("文件不存在"));
    } else {
        m_playback = m_platform.sound.play(file, repeat);
        m_playback->onFailure([this](const QString& reason) { failed(reason); });
    }
}

AlertSound::~AlertSound() = default;

void AlertSound::failed(const QString& reason) {
    m_platform.sound.beep();
    if (g_toldFailure)
        return;
    g_toldFailure = true;
    m_platform.tray.showBalloon(QStringLiteral("Kelvo"),
                                QStringLiteral("无法播放提醒铃声：%1（%2）").arg(m_file, reason),
                                kMessageSeconds);
}

void AlertSound::forgetToldFailure() {
    g_toldFailure = false;
}

} // namespace kelvo
