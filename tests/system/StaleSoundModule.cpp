// A sound module that the program must refuse: a table of an older version
// (KELVO_STALE_VERSION) or one built with another Qt (KELVO_STALE_QT). Its
// output is never to be made: making it ends the test.
#include "system/linux/SoundModule.h"

#include <cstdlib>

namespace {

kelvo::Sound* create() {
    std::abort();
}

#ifdef KELVO_STALE_VERSION
const kelvo::SoundModuleApi kApi{kelvo::kSoundModuleVersion - 1, kelvo::kSoundModuleQtVersion,
                                 create};
#else
const kelvo::SoundModuleApi kApi{kelvo::kSoundModuleVersion, kelvo::kSoundModuleQtVersion + 1,
                                 create};
#endif

} // namespace

extern "C" Q_DECL_EXPORT const kelvo::SoundModuleApi* kelvo_sound_module() {
    return &kApi;
}
