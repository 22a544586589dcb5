#include "storage/DataLocation.h"

#include "core/Environment.h"
#include "core/SystemError.h"
#include "core/UserError.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace kelvo {
namespace {

namespace fs = std::filesystem;

fs::path userDataHome(const UserEnvironment& env) {
    fs::path xdg(env.xdgDataHome);
    if (xdg.is_absolute())
        return xdg;
    if (env.home.empty())
        throw UserError("", "环境变量 XDG_DATA_HOME 与 HOME 都没有设置，找不到数据文件夹。");
    return fs::path(env.home) / ".local" / "share";
}

} // namespace

ProgramPlace programPlace(const std::string& programDir) {
    std::error_code ec;
    return {programDir, fs::is_regular_file(fs::path(programDir) / kPortableMarker, ec)};
}

UserEnvironment userEnvironment() {
    return {environmentVariable("XDG_DATA_HOME"), environmentVariable("HOME")};
}

std::string chooseDataDirectory(const std::optional<std::string>& dirOption,
                                const ProgramPlace& program, const UserEnvironment& env) {
    if (dirOption)
        return *dirOption;
    if (program.portable)
        return program.dir;
    const fs::path dir = userDataHome(env) / "kelvo";
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir)) {
        // Without an error of its own, something that is no folder is there.
        throw UserError(dir.string(), "无法创建数据文件夹 " + dir.string() + "：" +
                                          systemReason(ec ? ec.value() : EEXIST));
    }
    return dir.string();
}

DataPaths programDataPaths(const std::string& dataDir, const std::string& programDir) {
    const fs::path share = (fs::path(programDir).parent_path() / "share" / "kelvo");
    return {dataDir, {programDir, share.lexically_normal().string()}};
}

std::string DataPaths::help() const {
    std::string own = file("KelvoHelp.htm");
    std::error_code ec;
    if (fs::is_regular_file(own, ec))
        return own;
    for (const std::string& d : helpDirs) {
        const fs::path candidate = fs::path(d) / "KelvoHelp.htm";
        if (fs::is_regular_file(candidate, ec))
            return candidate.string();
    }
    return own;
}

} // namespace kelvo
