#pragma once

// Runs the built kelvoctl on a data directory of four reminders.

#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace kelvo::test {

struct Result {
    int status = -1;
    std::string out, err;
};

// Runs the built kelvoctl; args is shell text, input goes to its stdin;
// `wrapper` is put before the program (environment, faketime).
inline Result kelvoctl(const std::string& args, const std::string& input = "",
                       const std::string& wrapper = "") {
    TempDir io;
    io.write("in", input);
    const std::string command = wrapper + "'" + KELVOCTL_PATH + "' " + args + " <'" +
                                io.file("in") + "' >'" + io.file("out") + "' 2>'" + io.file("err") +
                                "'";
    const int rc = std::system(command.c_str());
    return Result{WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, io.read("out"), io.read("err")};
}

inline ReminderItem item(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t min,
                         int32_t rdBefore, int32_t mindMethod, std::string message) {
    ReminderItem it;
    it.year = year, it.month = month, it.day = day, it.hour = hour, it.min = min;
    it.rdBefore = rdBefore, it.mindMethod = mindMethod, it.message = std::move(message);
    return it;
}

// Every file of a directory with its bytes.
inline std::map<std::string, std::string> snapshot(const TempDir& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        files[name] = dir.read(name);
    }
    return files;
}

class Kelvoctl : public ::testing::Test {
protected:
    void SetUp() override {
        TIniFile data(dir.file("DataFile.dat"));
        createDataFile(data);
        appendItem(data, item(2005, 10, 1, 8, 30, 0, 0, "开会"), false);
        appendItem(data, item(0, 0, 0, 12, 0, 0, 1, "午饭"), false);
        appendItem(data, item(0, 0, 5631, 9, 5, 0, 3, "锻炼"), false);
        ReminderItem meeting = item(0, 0, 0, 8, 30, 10, 0, "早会");
        meeting.music = "/home/me/ding.wav";
        appendItem(data, meeting, true);
    }
    std::string dirArg() const { return "--dir '" + dir.path() + "' "; }
    // Each command line is a usage error: status 2, one line on stderr,
    // nothing on stdout, and no file of the directory changed.
    void expectUsageErrors(const std::vector<std::string>& commands) const {
        const auto before = snapshot(dir);
        for (const std::string& args : commands) {
            SCOPED_TRACE(args);
            const Result r = kelvoctl(dirArg() + args);
            EXPECT_EQ(r.status, 2);
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        }
        EXPECT_EQ(snapshot(dir), before);
    }

    TempDir dir;
};

} // namespace kelvo::test
