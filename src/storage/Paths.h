#pragma once

#include <string>

namespace kelvo {

// The fixed file names of the program's data directory.
struct DataPaths {
    std::string dir;

    std::string file(const char* name) const { return dir + "/" + name; }
    std::string dataFile() const { return file("DataFile.dat"); }
    std::string config() const { return file("Config.ini"); }
    std::string handOff() const { return file("TmpFile.tmp"); }
    std::string fastFinish() const { return file("FastFinish.ini"); }
    std::string help() const { return file("KelvoHelp.htm"); }
};

} // namespace kelvo
