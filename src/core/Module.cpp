#include "core/Module.h"

#include <dlfcn.h>

namespace kelvo {

namespace fs = std::filesystem;

std::vector<fs::path> moduleDirs(const fs::path& programDir) {
    return {programDir, programDir / ".." / "lib" / "kelvo"};
}

fs::path runningProgramDir() {
    std::error_code ec;
    return fs::read_symlink("/proc/self/exe", ec).parent_path();
}

LoadedModule loadModule(const std::vector<fs::path>& dirs, const char* file, const char* entry,
                        int32_t version, const ModuleCheck& check) {
    LoadedModule loaded;
    for (const fs::path& dir : dirs) {
        const fs::path path = dir / file;
        std::error_code ec;
        if (!fs::exists(path, ec))
            continue;
        void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            loaded.errors += std::string(" ") + ::dlerror();
            continue;
        }
        using Entry = const void* (*)();
        auto entryFunction = reinterpret_cast<Entry>(::dlsym(module, entry));
        const void* table = entryFunction ? entryFunction() : nullptr;
        std::string unfit;
        if (!table || *static_cast<const int32_t*>(table) != version)
            unfit = "版本不符";
        else if (check)
            unfit = check(table);
        if (unfit.empty()) {
            loaded.table = table;
            loaded.path = path;
            return loaded;
        }
        loaded.errors += " " + path.string() + ": " + unfit;
    }
    return loaded;
}

LoadedModule loadProgramModule(const char* what, const char* file, const char* entry,
                               int32_t version) {
    const std::vector<std::filesystem::path> dirs = moduleDirs(runningProgramDir());
    LoadedModule module = loadModule(dirs, file, entry, version);
    if (!module.table)
        module.errors = std::string("无法加载") + what + " " + file + "（在 " + dirs[0].string() +
                        " 与 " + dirs[1].string() + " 中）。" + module.errors;
    return module;
}

} // namespace kelvo
