// Import of any exchange file into a small data file, and the imported
// reminders exported again.
#include "FuzzSupport.h"

#include "exchange/Exchange.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"

using namespace kelvo;

namespace {

constexpr int32_t kDataItems = 3;

void writeDataFile(const std::string& path) {
    std::string bytes = "[Main]\r\nItems=3\r\n";
    for (int k = 1; k <= kDataItems; ++k)
        bytes += "[Item" + std::to_string(k) +
                 "]\r\nYear=0\r\nMonth=0\r\nDay=0\r\nHour=8\r\n"
                 "Min=30\r\nRdBefore=5\r\nMessage=m\r\n";
    fuzz::writeFile(path, bytes);
}

bool sameFields(const ReminderItem& a, const ReminderItem& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.min == b.min && a.mindMethod == b.mindMethod && a.rdBefore == 0 && !a.reminded;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string exchangePath = fuzz::scratchPath("exchange.txt");
    static const std::string dataPath = fuzz::scratchPath("DataFile.dat");
    static const std::string exportPath = fuzz::scratchPath("export.txt");
    fuzz::writeFile(exchangePath, fuzz::bytesOf(data, size));
    writeDataFile(dataPath);
    std::filesystem::remove(exportPath);

    const TIniFile exchange(exchangePath);
    const std::vector<int32_t> held = heldExchangeItems(exchange);
    FUZZ_CHECK(static_cast<int>(held.size()) <= exchange.sectionCount());
    TIniFile dataFile(dataPath);
    const int32_t imported = importItems(dataFile, exchange, ActingItems::AddConfirmed);
    FUZZ_CHECK(imported == static_cast<int32_t>(held.size()));
    FUZZ_CHECK(storedItemCount(dataFile) == kDataItems + imported);

    std::vector<int32_t> numbers;
    for (int32_t i = 0; i < imported; ++i) {
        const int32_t k = kDataItems + 1 + i;
        FUZZ_CHECK(sameFields(readItem(dataFile, k, kDeleteDefaults),
                              readItem(exchange, held[i], kExchangeDefaults)));
        numbers.push_back(k);
    }
    TIniFile exported(exportPath);
    exportItems(dataFile, numbers, exported);
    FUZZ_CHECK(heldExchangeItems(exported).size() == held.size());
    return 0;
}
