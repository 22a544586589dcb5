// Log-on entries as string values under the current user's Run key of the
// Windows registry. Built only for Windows.
#include "system/Autorun.h"

#include <windows.h>

#include <string>

namespace kelvo {
namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The Run key opened with full access (created when missing), closed when
// the object goes.
class RunKey {
public:
    RunKey() {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &m_key, nullptr) != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~RunKey() {
        if (m_key)
            RegCloseKey(m_key);
    }
    RunKey(const RunKey&) = delete;
    RunKey& operator=(const RunKey&) = delete;
    HKEY handle() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

std::wstring wide(const QString& text) {
    return text.toStdWString();
}

class RegistryAutorun final : public Autorun {
public:
    QString read(const QString& name) override {
        const RunKey key;
        if (!key.handle())
            return {};
        const std::wstring valueName = wide(name);
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExW(key.handle(), valueName.c_str(), nullptr, &type, nullptr, &size) !=
                ERROR_SUCCESS ||
            size == 0)
            return {};
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            throw AutorunError::invalidType(name);
        std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
        if (RegQueryValueExW(key.handle(), valueName.c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
            return {};
        // The data ends at its first zero character.
        return QString::fromWCharArray(data.c_str());
    }

    void write(const QString& name, const QString& path) override {
        const RunKey key;
        if (!key.handle())
            return;
        const std::wstring data = wide(path);
        const DWORD size = DWORD((data.size() + 1) * sizeof(wchar_t));
        if (RegSetValueExW(key.handle(), wide(name).c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(data.c_str()), size) != ERROR_SUCCESS)
            throw AutorunError::failedToSet(name);
    }

    void remove(const QString& name) override {
        const RunKey key;
        if (key.handle())
            RegDeleteValueW(key.handle(), wide(name).c_str());
    }
};

} // namespace

std::unique_ptr<Autorun> makeSystemAutorun() {
    return std::make_unique<RegistryAutorun>();
}

} // namespace kelvo
