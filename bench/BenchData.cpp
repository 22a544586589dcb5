#include "BenchData.h"

#include "storage/DataFile.h"
#include "storage/IniFile.h"

#include <array>
#include <fstream>
#include <iterator>
#include <random>

namespace kelvo::bench {

namespace {

constexpr std::array<const char*, 12> kMessages = {
    "开会：第三季度销售总结，带上笔记本电脑",
    "给妈妈打电话，问问她的身体情况",
    "交水电费和物业费",
    "下午去医院复查，记得带病历本",
    "午饭",
    "锻炼身体，跑步三十分钟",
    "提交周报给王经理",
    "接孩子放学",
    "准备明天的演讲稿[cmd:notepad.exe]",
    "老张生日，买蛋糕",
    "AutoShutDownWindows",
    "信用卡还款日，别忘了！",
};

ReminderItem randomItem(std::mt19937& rng, int k) {
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(rng); };
    ReminderItem item;
    item.year = pick(0, 3) == 0 ? pick(2024, 2030) : 0;
    item.month = pick(0, 2) == 0 ? pick(1, 12) : 0;
    const int repeat = pick(0, 3);
    item.day = repeat == 0 ? 0 : repeat == 1 ? 255 + (pick(1, 127) << 8) : pick(1, 28);
    item.hour = pick(0, 23);
    item.min = pick(0, 59);
    item.rdBefore = pick(0, 1) ? pick(1, 30) : 0;
    item.mindMethod = pick(0, 3);
    item.message = std::string(kMessages[k % kMessages.size()]) + " #" + std::to_string(k);
    if (pick(0, 4) == 0)
        item.music =
            "C:\\Documents and Settings\\用户\\My Documents\\铃声" + std::to_string(k) + ".mp3";
    return item;
}

} // namespace

void writeDataFile(const std::string& path, int items) {
    std::mt19937 rng(20240101);
    TIniFile data(path);
    createDataFile(data);
    for (int k = 1; k <= items; ++k) {
        const ReminderItem item = randomItem(rng, k);
        writeNewItemKeys(data, k, item, !item.music.empty());
    }
    data.WriteInteger("Main", "Items", items);
    data.UpdateFile();
}

void writeQuietDataFile(const std::string& path, int items) {
    writeDataFile(path, items);
    TIniFile data(path);
    for (int k = 1; k <= items; ++k)
        data.WriteInteger(itemSection(k), "Year", 2000);
    data.UpdateFile();
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

} // namespace kelvo::bench
