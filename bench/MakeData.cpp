// Writes a data directory for measuring the program: DataFile.dat with N
// generated reminders and a Config.ini of a program started before, so that
// no first-start question comes up. No reminder fires while the program is
// measured, so no popup waits for a user.
//   kelvo_make_data DIR N [hidden]
#include "BenchData.h"
#include "storage/IniFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kelvo_make_data DIR N [hidden]\n");
        return 2;
    }
    const std::string dir = argv[1];
    kelvo::bench::writeQuietDataFile(dir + "/DataFile.dat", std::atoi(argv[2]));
    kelvo::TIniFile config(dir + "/Config.ini");
    config.WriteInteger("Sys", "ShowMainForm", argc > 3 ? 0 : 1);
    config.WriteInteger("Sys", "OpenTimes", 100);
    config.UpdateFile();
    return 0;
}
