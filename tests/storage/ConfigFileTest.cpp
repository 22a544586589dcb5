#include "storage/ConfigFile.h"
#include "core/Environment.h"
#include "storage/HandOff.h"

#include "storage/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

using test::TempDir;

TEST(ConfigFile, FirstRunWritesEverythingInOrderCentred) {
    TempDir dir;
    TIniFile config(dir.file("Config.ini"));
    const FirstRunSizes sizes{{1024, 768}, {500, 400}, {301, 201},
                              {400, 300},  {350, 250}, {410, 310}};
    writeFirstRunConfig(config, sizes);
    // No placeholder company or user: the user's own name.
    EXPECT_EQ(settings::User.read(config), accountName());
    std::string text = dir.read("Config.ini");
    const size_t user = text.find("User=") + 5;
    text.erase(user, text.find("\r\n", user) - user);
    EXPECT_EQ(text, "[Sys]\r\nCorporation=\r\nVersion=1.00.003\r\nUser=\r\n"
                    "ShowMainForm=0\r\nFormLeft=262\r\nFormTop=184\r\nOpenTimes=0\r\n"
                    "[NewItem]\r\nFormLeft=361\r\nFormTop=283\r\n"
                    "[View]\r\nFormLeft=312\r\nFormTop=234\r\n"
                    "[Setting]\r\nFormLeft=337\r\nFormTop=259\r\n"
                    "[ShowMsg]\r\nFormLeft=324\r\nFormTop=196\r\n"
                    "[Edit]\r\nFormLeft=307\r\nFormTop=229\r\n");
    EXPECT_FALSE(settings::ShowMainForm.read(config));
}

TEST(ConfigFile, CentringAWindowLargerThanTheScreenTruncatesTowardZero) {
    TempDir dir;
    TIniFile config(dir.file("Config.ini"));
    writeFirstRunConfig(config, FirstRunSizes{{800, 600}, {1007, 609}, {}, {}, {}, {}});
    EXPECT_EQ(readWindowPos(config, positions::Main), (WindowPos{-103, -4}));
    EXPECT_EQ(readWindowPos(config, positions::ShowMsg), (WindowPos{212, 112}));
}

TEST(ConfigFile, SettingsReadTheirDefaultsAndClampOnlyWhenStored) {
    TempDir dir;
    TIniFile config(dir.file("Config.ini"));
    EXPECT_EQ(settings::TimeLate.read(config), 5);
    EXPECT_EQ(settings::AutoCloseShowBoxMin.read(config), 10);
    EXPECT_EQ(settings::TimeFormABV.read(config), 128);
    EXPECT_TRUE(settings::ShowMainForm.read(config));
    EXPECT_TRUE(settings::TimeFormAB.read(config));
    EXPECT_FALSE(settings::ShowTimeForm.read(config));
    EXPECT_EQ(settings::Music.read(config), "");
    settings::TimeLate.write(config, 0);
    settings::AutoCloseShowBoxMin.write(config, 601);
    settings::TimeFormABV.write(config, 256);
    EXPECT_EQ(settings::TimeLate.read(config), 1);
    EXPECT_EQ(settings::AutoCloseShowBoxMin.read(config), 600);
    EXPECT_EQ(settings::TimeFormABV.read(config), 255);
    config.WriteInteger("Sys", "TimeLate", 500); // hand-edited: used unchanged
    EXPECT_EQ(settings::TimeLate.read(config), 500);
}

TEST(ConfigFile, WindowPositionKeysIgnoreTheirSpelling) {
    TempDir dir;
    dir.write("Config.ini", "[Sys]\r\nFormLeft=-12\r\nFormtop=34\r\n");
    TIniFile config(dir.file("Config.ini"));
    EXPECT_EQ(readWindowPos(config, positions::Main), (WindowPos{-12, 34}));
    EXPECT_EQ(readWindowPos(config, positions::TimeForm), (WindowPos{0, 0}));
    writeWindowPos(config, positions::Main, {5, 6});
    config.UpdateFile();
    EXPECT_EQ(dir.read("Config.ini"), "[Sys]\r\nFormLeft=5\r\nFormtop=6\r\n");
}

TEST(HandOff, EachHandOffIsOnDiskBeforeTheReceiverReads) {
    TempDir dir;
    const std::string path = dir.file("TmpFile.tmp");
    EXPECT_EQ(readHandOffItem(path, handoff::View), 0);
    EXPECT_EQ(readHandOff(path).msg, "");
    writeHandOffItem(path, handoff::View, 3);
    writeHandOffItem(path, handoff::Edit, 4);
    writeHandOff(path, {"提前提醒：开会", ""});
    EXPECT_EQ(dir.read("TmpFile.tmp"),
              "[View]\r\nItem=3\r\n[Edit]\r\nItem=4\r\n[Remind]\r\n"
              "Msg=\xCC\xE1\xC7\xB0\xCC\xE1\xD0\xD1\xA3\xBA\xBF\xAA\xBB\xE1\r\nMusic=\r\n");
    EXPECT_EQ(readHandOffItem(path, handoff::View), 3);
    EXPECT_EQ(readHandOffItem(path, handoff::Edit), 4);
    writeHandOff(path, {"next", "/a.mp3"});
    const HandOff back = readHandOff(path);
    EXPECT_EQ(back.msg, "next");
    EXPECT_EQ(back.music, "/a.mp3");
}

} // namespace
} // namespace kelvo
