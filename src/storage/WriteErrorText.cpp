#include "storage/WriteErrorText.h"

#include "core/SystemError.h"

namespace kelvo {
namespace {

std::string whyUnreadable(ReadFailure failure) {
    switch (failure) {
    case ReadFailure::NoPermission:
        return "没有读取它的权限";
    case ReadFailure::Directory:
        return "它是一个文件夹";
    case ReadFailure::NotRegular:
        return "它不是普通文件（例如是命名管道）";
    default:
        return "系统报告了读取错误";
    }
}

} // namespace

std::string writeErrorText(const IniWriteError& e) {
    switch (e.reason()) {
    case IniWriteError::Reason::Busy:
        return "另一个程序正在修改 " + e.path() + "，等了 " + std::to_string(kLockWait.count()) +
               " 秒仍未结束。\n这次的修改没有保存，请稍后再试。";
    case IniWriteError::Reason::Unreadable:
        return "无法读取 " + e.path() + "：" + whyUnreadable(e.readFailure()) +
               "。\n为了不覆盖其中的内容，Kelvo 不会写入这个文件，这次的修改没有保存。";
    case IniWriteError::Reason::Unwritable:
        break;
    }
    return cannotWriteText(e.path(), e.systemError()) + "。\n\n" + e.what();
}

} // namespace kelvo
