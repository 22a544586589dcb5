#include "core/SystemError.h"

#include <cerrno>
#include <cstring>

namespace kelvo {

std::string systemReason(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return "权限不够";
    case ENOENT:
        return "文件或文件夹不存在";
    case ENOSPC:
        return "磁盘空间不足";
    case EDQUOT:
        return "超出了磁盘配额";
    case EFBIG:
        return "文件超出了允许的大小";
    case EROFS:
        return "文件系统是只读的";
    case EEXIST:
        return "已经有同名的文件";
    case ENOTDIR:
        return "路径中有一部分不是文件夹";
    case EISDIR:
        return "这是一个文件夹";
    case EIO:
        return "读写设备时出错";
    case ENAMETOOLONG:
        return "文件名太长";
    case ELOOP:
        return "符号链接的层次太多";
    case 0:
        return "原因不明";
    default:
        return std::strerror(error);
    }
}

std::string cannotWriteText(const std::string& path, int error) {
    return "无法写入 " + path + "：" + systemReason(error);
}

} // namespace kelvo
