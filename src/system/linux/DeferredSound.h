#pragma once

#include "system/Sound.h"

#include <QStringList>

#include <memory>

namespace kelvo {

// Sound output from the sound module ("kelvo_sound.so", built on Qt
// Multimedia, its table in SoundModule.h), loaded when the first sound plays: the media libraries
// and the audio and network libraries they pull in cost memory and start-up time that a program
// waiting in the tray for its next reminder does not need. Without the module nothing plays and the
// beep is the desktop's bell; while the session's sound server does not answer, the module is not
// asked to play: the sound library asks for the server once, when it is first used, and stays
// silent for the whole run when none answered then, so a session whose sound starts late would
// never be heard.
class DeferredSound : public Sound {
public:
    // The directories to look for the module in, in order.
    explicit DeferredSound(QStringList moduleDirs);
    ~DeferredSound() override;

    std::unique_ptr<Playback> play(const QString& file, bool repeat) override;
    void beep() override;

    // The module file, or an empty text when it cannot be loaded; loads it.
    QString modulePath();

private:
    Sound* sound();
    // The module's output once the sound server has answered, else null.
    Sound* audibleSound();

    QStringList m_dirs;
    bool m_tried = false;
    QString m_path;
    std::unique_ptr<Sound> m_sound;
    bool m_serverSeen = false;
};

// Whether the session's sound server answers (true where that cannot be
// told without the sound library).
bool soundServerAnswers();

// The directories of the sound module for a program in programDir: those of
// every module (moduleDirs in core/Module.h).
QStringList soundModuleDirs(const QString& programDir);

} // namespace kelvo
