#pragma once

#include <string>
#include <vector>

namespace kelvo {

// The fixed file names of the program's data directory.
struct DataPaths {
    std::string dir;
    // Further directories that may hold the help page, searched after the
    // data directory in this order (beside the program, the installed share).
    std::vector<std::string> helpDirs = {};
    // Whether the directory was given on the command line (--dir): a later
    // start must be given it again.
    bool dirGiven = false;

    std::string file(const char* name) const { return dir + "/" + name; }
    std::string dataFile() const { return file("DataFile.dat"); }
    std::string config() const { return file("Config.ini"); }
    std::string handOff() const { return file("TmpFile.tmp"); }
    std::string fastFinish() const { return file("FastFinish.ini"); }
    std::string snoozes() const { return file("Snooze.ini"); }
    std::string fired() const { return file("Fired.ini"); }
    // The user's own holiday arrangements (storage/HolidayFile.h).
    std::string holidays() const { return file("Holidays.txt"); }
    // The first help page found in the data directory or the help
    // directories; the data directory's (missing) one when there is none.
    std::string help() const;
};

} // namespace kelvo
