#include "core/SystemError.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace kelvo {
namespace {

TEST(SystemError, CommonFileErrorsAreChineseOthersTheSystemsText) {
    EXPECT_EQ(systemReason(EACCES), "权限不够");
    EXPECT_EQ(systemReason(EPERM), "权限不够");
    EXPECT_EQ(systemReason(ENOSPC), "磁盘空间不足");
    EXPECT_EQ(systemReason(EROFS), "文件系统是只读的");
    for (int error : {ENOENT, EEXIST, ENOTDIR, EISDIR, EDQUOT, EIO, EFBIG}) {
        const std::string reason = systemReason(error);
        EXPECT_NE(reason, std::strerror(error)) << error;
        EXPECT_GE(static_cast<unsigned char>(reason[0]), 0x80) << error; // Chinese
    }
    EXPECT_EQ(systemReason(ECONNREFUSED), std::strerror(ECONNREFUSED));
    EXPECT_EQ(systemReason(0), "原因不明");
    EXPECT_EQ(cannotWriteText("/d/DataFile.dat", ENOSPC), "无法写入 /d/DataFile.dat：磁盘空间不足");
}

} // namespace
} // namespace kelvo
