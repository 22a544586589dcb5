#include "sync/CalendarServer.h"

namespace kelvo {

std::string failureText(const DavResult& result) {
    switch (result.failure) {
    case DavFailure::None:
        return {};
    case DavFailure::Network:
        return "无法连接同步服务器（" + result.error + "）";
    case DavFailure::Timeout:
        return "同步服务器没有及时回答";
    case DavFailure::Certificate:
        return "同步服务器的证书不受信任（SHA-256 指纹：" + result.certificate + "）";
    case DavFailure::Password:
        return "同步服务器拒绝了用户名或密码";
    case DavFailure::NotCalDav:
        return "这个地址上没有 CalDAV 服务";
    case DavFailure::Quota:
        return "同步服务器的存储空间已满（HTTP 507）";
    case DavFailure::Server:
        break;
    }
    return "同步服务器出错（HTTP " + std::to_string(result.status) + "）";
}

SyncError::SyncError(const DavResult& result)
    : UserError({}, failureText(result)), m_failure(result.failure) {}

SyncError::SyncError(DavFailure failure, const std::string& message)
    : UserError({}, message), m_failure(failure) {}

} // namespace kelvo
