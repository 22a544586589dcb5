#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

// What every fuzz target shares: the entry point libFuzzer calls, a check
// that stops the run with a message, and a scratch file for the readers
// that take a path.

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace kelvo::fuzz {

inline std::string_view bytesOf(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The scratch files of the process, removed when it ends normally.
class ScratchFiles {
public:
    ~ScratchFiles() {
        std::error_code ec;
        for (const std::string& path : m_paths)
            std::filesystem::remove(path, ec);
    }
    const std::string& add(std::string path) { return m_paths.emplace_back(std::move(path)); }

private:
    std::vector<std::string> m_paths;
};

// A file of this process in memory-backed storage where there is some, so
// that writing it for every input stays cheap.
inline std::string scratchPath(std::string_view name) {
    static ScratchFiles files;
    const std::filesystem::path shm("/dev/shm");
    std::error_code ec;
    const auto base =
        std::filesystem::is_directory(shm, ec) ? shm : std::filesystem::temp_directory_path();
    return files.add(
        (base / ("kelvo-fuzz-" + std::to_string(::getpid()) + "-" + std::string(name))).string());
}

inline void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Takes fixed-size integers off the front of the input, zero once it is used up.
class Input {
public:
    Input(const uint8_t* data, size_t size) : m_rest(bytesOf(data, size)) {}
    int32_t int32() {
        uint32_t v = 0;
        for (int i = 0; i < 4 && !m_rest.empty(); ++i) {
            v = v << 8 | static_cast<uint8_t>(m_rest.front());
            m_rest.remove_prefix(1);
        }
        return static_cast<int32_t>(v);
    }
    std::string_view rest() const { return m_rest; }

private:
    std::string_view m_rest;
};

} // namespace kelvo::fuzz
