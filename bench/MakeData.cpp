// Writes a data directory for measuring the program: DataFile.dat with N
// generated reminders and a Config.ini of a program started before, so that
// no first-start question comes up. No reminder fires while the program is
// measured, so no popup waits for a user; with "firing" the reminders keep
// their spread-out dates (for kelvoctl due and next).
//   kelvo_make_data DIR N [hidden] [firing]
#include "BenchData.h"
#include "storage/IniFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kelvo_make_data DIR N [hidden] [firing]\n");
        return 2;
    }
    const std::string dir = argv[1];
    bool hidden = false, firing = false;
    for (int i = 3; i < argc; ++i) {
        hidden = hidden || std::string(argv[i]) == "hidden";
        firing = firing || std::string(argv[i]) == "firing";
    }
    if (firing)
        kelvo::bench::writeDataFile(dir + "/DataFile.dat", std::atoi(argv[2]));
    else
        kelvo::bench::writeQuietDataFile(dir + "/DataFile.dat", std::atoi(argv[2]));
    kelvo::TIniFile config(dir + "/Config.ini");
    config.WriteInteger("Sys", "ShowMainForm", hidden ? 0 : 1);
    config.WriteInteger("Sys", "OpenTimes", 100);
    config.UpdateFile();
    return 0;
}
