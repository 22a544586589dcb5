#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kelvo {

// A module is a shared object that a program loads the first time it needs
// it (kelvo_ical.so, kelvo_sound.so). It exports one C function, its entry,
// that returns its table: a struct whose first member is the int32_t version
// of the table and of everything that crosses with it. A module of another
// version, or without the entry (a stale copy), is refused and never called.

// Where modules are looked for, in order, for a program in `programDir`:
// beside it (a build or a portable copy), then lib/kelvo beside its bin
// (installed).
std::vector<std::filesystem::path> moduleDirs(const std::filesystem::path& programDir);
// The directory of the running program.
std::filesystem::path runningProgramDir();

struct LoadedModule {
    const void* table = nullptr; // null when no module was accepted
    std::filesystem::path path;  // the file of the accepted module
    std::string errors;          // why each module file found was refused
};

// Why a table of the right version is still unfit; empty when it is fit.
using ModuleCheck = std::function<std::string(const void* table)>;

// Loads the first `file` in `dirs` whose entry gives a table of `version`
// that passes `check`. A loaded module stays loaded for the rest of the run.
LoadedModule loadModule(const std::vector<std::filesystem::path>& dirs, const char* file,
                        const char* entry, int32_t version, const ModuleCheck& check = {});

// loadModule() from the running program's module folders; when no module is
// accepted, `errors` is the user's text: "无法加载<what> <file>（在 … 与 … 中）。"
// and why each file found was refused.
LoadedModule loadProgramModule(const char* what, const char* file, const char* entry,
                               int32_t version);

} // namespace kelvo
