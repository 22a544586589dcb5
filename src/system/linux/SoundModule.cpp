// The entry of the sound module: the program loads this shared object the
// first time it plays a sound, and creates its sound output here.
#include "system/linux/QtSound.h"

extern "C" Q_DECL_EXPORT kelvo::Sound* kelvo_create_sound() {
    return new kelvo::QtSound;
}
