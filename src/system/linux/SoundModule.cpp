// The entry of the sound module: the program loads this shared object the
// first time it plays a sound, checks the table and creates its sound output
// through it.
#include "system/linux/SoundModule.h"
#include "system/linux/QtSound.h"

namespace {

kelvo::Sound* create() {
    try {
        return new kelvo::QtSound;
    } catch (...) {
        return nullptr;
    }
}

const kelvo::SoundModuleApi kApi{kelvo::kSoundModuleVersion, kelvo::kSoundModuleQtVersion, create};

} // namespace

extern "C" Q_DECL_EXPORT const kelvo::SoundModuleApi* kelvo_sound_module() {
    return &kApi;
}
