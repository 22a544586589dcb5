#pragma once

namespace kelvo {

class Autorun;
class ClockWatch;
class FileWatch;
class Notifier;
class Power;
class Sound;
class Shell;
class Tray;

// The platform services the windows use. main() wires the Qt/Linux
// implementations; tests wire the doubles in tests/support.
struct Platform {
    Sound& sound;
    Shell& shell;
    Tray& tray;
    Power& power;
    Autorun& autorun;
    FileWatch& dataFileWatch; // the data file, for changes by other programs
    ClockWatch& clockWatch;
    Notifier& notifier;
};

} // namespace kelvo
