#include "storage/DataLocation.h"

#include "core/UserError.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kelvo {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(DataLocation, DirOptionWinsOverEveryOtherPlace) {
    const UserEnvironment env{"/nowhere/xdg", "/nowhere/home"};
    EXPECT_EQ(chooseDataDirectory("/chosen", {"/opt/kelvo", true}, env), "/chosen");
    EXPECT_EQ(chooseDataDirectory("/chosen", {"/usr/bin", false}, env), "/chosen");
    EXPECT_FALSE(fs::exists("/nowhere"));
}

TEST(DataLocation, PortableCopyKeepsTheDataBesideTheProgram) {
    const UserEnvironment env{"/nowhere/xdg", "/nowhere/home"};
    EXPECT_EQ(chooseDataDirectory(std::nullopt, {"/opt/kelvo", true}, env), "/opt/kelvo");
}

// A build tree is writable but no portable copy: a clean rebuild must not
// take the reminders with it.
TEST(DataLocation, WritableProgramDirectoryWithoutMarkerUsesTheUsersDataDirectory) {
    TempDir bin;
    TempDir xdg;
    const UserEnvironment env{xdg.path(), "/nowhere/home"};
    EXPECT_EQ(chooseDataDirectory(std::nullopt, programPlace(bin.path()), env), xdg.file("kelvo"));
    EXPECT_FALSE(fs::exists(bin.file("DataFile.dat")));
}

TEST(DataLocation, InstalledProgramUsesXdgDataHomeAndCreatesIt) {
    TempDir xdg;
    const std::string expected = xdg.file("deep/share/kelvo");
    const UserEnvironment env{xdg.file("deep/share"), "/nowhere/home"};
    EXPECT_EQ(chooseDataDirectory(std::nullopt, {"/usr/bin", false}, env), expected);
    EXPECT_TRUE(fs::is_directory(expected));
    // A second start finds the directory there.
    EXPECT_EQ(chooseDataDirectory(std::nullopt, {"/usr/bin", false}, env), expected);
}

TEST(DataLocation, InstalledProgramFallsBackToHomeLocalShare) {
    TempDir home;
    for (const std::string xdg : {"", "relative/share"}) {
        const UserEnvironment env{xdg, home.path()};
        EXPECT_EQ(chooseDataDirectory(std::nullopt, {"/usr/bin", false}, env),
                  home.file(".local/share/kelvo"));
    }
    EXPECT_TRUE(fs::is_directory(home.file(".local/share/kelvo")));
}

TEST(DataLocation, UncreatableUserDirectoryIsAnError) {
    TempDir home;
    home.write("blocker", "a file where a directory should be");
    const UserEnvironment blocked{home.file("blocker"), ""};
    try {
        chooseDataDirectory(std::nullopt, {"/usr/bin", false}, blocked);
        FAIL() << "a file stands where the folder should be";
    } catch (const UserError& e) {
        // The folder and the reason, in the user's language.
        EXPECT_EQ(std::string(e.what()), "无法创建数据文件夹 " + home.file("blocker/kelvo") +
                                             "：路径中有一部分不是文件夹");
    }
    EXPECT_THROW(chooseDataDirectory(std::nullopt, {"/usr/bin", false}, {"", ""}), UserError);
}

TEST(DataLocation, ProgramPlaceIsPortableOnlyWithTheMarkerFile) {
    TempDir dir;
    EXPECT_FALSE(programPlace(dir.path()).portable);
    EXPECT_FALSE(programPlace(dir.file("missing")).portable);
    fs::create_directory(dir.file(kPortableMarker));
    EXPECT_FALSE(programPlace(dir.path()).portable) << "a folder of that name is no marker";
    fs::remove(dir.file(kPortableMarker));
    dir.write(kPortableMarker, "");
    EXPECT_TRUE(programPlace(dir.path()).portable);
    EXPECT_EQ(chooseDataDirectory(std::nullopt, programPlace(dir.path()), {"/nowhere", ""}),
              dir.path());
}

// An installed tree: prefix/bin/kelvo and prefix/share/kelvo/KelvoHelp.htm.
struct InstalledTree {
    TempDir root;
    std::string bin = root.file("bin");
    std::string share = root.file("share/kelvo");
    TempDir data;
    InstalledTree() {
        fs::create_directories(bin);
        fs::create_directories(share);
    }
    static void put(const std::string& dir) {
        std::ofstream(dir + "/KelvoHelp.htm") << "<html></html>";
    }
};

TEST(DataLocation, HelpPageIsLookedUpInDataDirThenBesideProgramThenShare) {
    InstalledTree t;
    const DataPaths paths = programDataPaths(t.data.path(), t.bin);
    EXPECT_EQ(paths.dir, t.data.path());
    EXPECT_EQ(paths.help(), t.data.file("KelvoHelp.htm")) << "none: the data directory's";

    t.put(t.share);
    EXPECT_EQ(paths.help(), t.share + "/KelvoHelp.htm");
    t.put(t.bin);
    EXPECT_EQ(paths.help(), t.bin + "/KelvoHelp.htm");
    t.put(t.data.path());
    EXPECT_EQ(paths.help(), t.data.file("KelvoHelp.htm"));
}

TEST(DataLocation, PlainDataPathsLookOnlyInTheDataDirectory) {
    InstalledTree t;
    t.put(t.bin);
    const DataPaths paths{t.data.path()};
    EXPECT_EQ(paths.help(), t.data.file("KelvoHelp.htm"));
}

} // namespace
} // namespace kelvo
