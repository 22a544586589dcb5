#include "system/linux/DeferredSound.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace kelvo {
namespace {

const QString kModuleFile = QStringLiteral("kelvo_sound.so");

} // namespace

DeferredSound::DeferredSound(QStringList moduleDirs) : m_dirs(std::move(moduleDirs)) {}

DeferredSound::~DeferredSound() = default;

QStringList soundModuleDirs(const QString& programDir) {
    return {programDir, QDir(programDir).filePath(QStringLiteral("../lib/kelvo"))};
}

Sound* DeferredSound::sound() {
    if (m_tried)
        return m_sound.get();
    m_tried = true;
    QStringList errors;
    for (const QString& dir : m_dirs) {
        const QString path = QDir(dir).filePath(kModuleFile);
        if (!QFileInfo::exists(path))
            continue;
        // The module stays loaded for the rest of the run: players it made
        // may still be playing.
        QLibrary module(path);
        using Create = Sound* (*)();
        if (auto create = reinterpret_cast<Create>(module.resolve("kelvo_create_sound"))) {
            m_sound.reset(create());
            m_path = QFileInfo(path).canonicalFilePath();
            return m_sound.get();
        }
        errors << module.errorString();
    }
    qWarning("Kelvo: no sound module %s in %s; reminders play no sound. %s",
             qPrintable(kModuleFile), qPrintable(m_dirs.join(QStringLiteral(", "))),
             qPrintable(errors.join(QStringLiteral("; "))));
    return nullptr;
}

std::unique_ptr<Playback> DeferredSound::play(const QString& file) {
    Sound* output = sound();
    return output ? output->play(file) : nullptr;
}

void DeferredSound::beep() {
    if (Sound* output = sound())
        output->beep();
    else
        QApplication::beep();
}

QString DeferredSound::modulePath() {
    sound();
    return m_path;
}

} // namespace kelvo
