// Performs one write of the program on a data directory, the way the
// program's commands do it through the core, so that the crash test can kill
// it at any moment:
//   kelvo_crash_driver DIR add|edit|delete|import|create
#include "CrashScenario.h"

#include "exchange/Exchange.h"
#include "storage/ConfigFile.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "storage/Paths.h"

#include <cstdio>
#include <string>

namespace kelvo::crash {
namespace {

// The first start: the default data file, then the first-run settings.
void createFiles(const DataPaths& paths) {
    TIniFile data(paths.dataFile());
    createDataFile(data);
    TIniFile config(paths.config());
    writeFirstRunConfig(
        config,
        FirstRunSizes{{1024, 768}, {500, 400}, {420, 380}, {400, 360}, {450, 420}, {420, 380}});
}

int perform(const DataPaths& paths, const std::string& op) {
    if (op == "create") {
        createFiles(paths);
        return 0;
    }
    TIniFile data(paths.dataFile());
    if (op == "add")
        appendItem(data, reminder(kStoredItems + 1, std::string(kAddedMessage)), true);
    else if (op == "edit")
        storeEditedItem(data, kEditedItem,
                        reminder(kEditedItem + 5000, std::string(kEditedMessage)));
    else if (op == "delete")
        deleteItem(data, kDeletedItem);
    else if (op == "import")
        importItems(data, TIniFile(paths.file(kExchangeFile)), ActingItems::AddConfirmed);
    else
        return 2;
    return 0;
}

} // namespace
} // namespace kelvo::crash

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: kelvo_crash_driver DIR add|edit|delete|import|create\n", stderr);
        return 2;
    }
    try {
        return kelvo::crash::perform(kelvo::DataPaths{argv[1]}, argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kelvo_crash_driver: %s\n", e.what());
        return 1;
    }
}
