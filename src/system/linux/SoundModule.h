#pragma once

#include "system/Sound.h"

#include <QtGlobal>

#include <cstdint>

namespace kelvo {

// The table of the sound module kelvo_sound.so (see core/Module.h). The
// output it makes is a C++ object with Qt types, so the module is taken only
// when its table's version and the Qt it was built with are the program's:
// raise kSoundModuleVersion whenever Sound, Playback or this table change.
// Nothing is thrown across.
struct SoundModuleApi {
    int32_t version;
    // QT_VERSION_MAJOR and QT_VERSION_MINOR of the module's build, as 0xMMNN.
    int32_t qtVersion;
    // A new sound output, owned by the caller; null when none can be made.
    Sound* (*create)();
};
inline constexpr int32_t kSoundModuleVersion = 2;
inline constexpr int32_t kSoundModuleQtVersion = QT_VERSION_MAJOR << 8 | QT_VERSION_MINOR;
inline constexpr const char* kSoundModuleEntry = "kelvo_sound_module";
inline constexpr const char* kSoundModuleFile = "kelvo_sound.so";

} // namespace kelvo
