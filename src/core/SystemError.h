#pragma once

#include <string>

namespace kelvo {

// Why a call of the system failed, in the user's language: the common
// errors of files and folders in Chinese, any other as the system's text.
std::string systemReason(int error);

// "无法写入 <path>：<reason>": a file or folder that could not be written.
std::string cannotWriteText(const std::string& path, int error);

} // namespace kelvo
