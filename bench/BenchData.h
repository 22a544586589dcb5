#pragma once

#include <string>

namespace kelvo::bench {

// Writes a data file of `items` reminders as the program writes them: dates,
// times, repetitions and mind methods spread out, Chinese messages of
// everyday length, a sound file on some of them.
void writeDataFile(const std::string& path, int items);

// The same file with every reminder dated in the year 2000: the list costs
// the same, but nothing fires while the program is measured.
void writeQuietDataFile(const std::string& path, int items);

// The whole file as bytes.
std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);

} // namespace kelvo::bench
