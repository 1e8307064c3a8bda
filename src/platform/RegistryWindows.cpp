// Windows backend of the settings store: the registry itself.

#if !defined(_WIN32)
#error "This implementation is for Windows; the build picks one backend per OS."
#endif

#include "platform/Registry.h"

#include "platform/WindowsCommon.h"

namespace platform::registry {
namespace {

using win::toWide;

HKEY rootHandle(Root root) {
    return root == Root::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// Key paths are written absolute ("\Software\..."); the API wants them
// relative to the root.
std::wstring relativePath(const std::string& path) {
    std::wstring wide = toWide(path);
    while (!wide.empty() && wide.front() == L'\\') wide.erase(wide.begin());
    return wide;
}

class RegistryKey final : public Key {
public:
    explicit RegistryKey(HKEY key) : key_(key) {}
    ~RegistryKey() override { RegCloseKey(key_); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    ReadResult readDWord(const std::string& name, std::uint32_t& value) override {
        DWORD type = 0;
        DWORD data = 0;
        DWORD size = sizeof data;
        const LONG result = RegQueryValueExW(key_, toWide(name).c_str(), nullptr, &type,
                                             reinterpret_cast<BYTE*>(&data), &size);
        if (result == ERROR_FILE_NOT_FOUND) return ReadResult::Missing;
        if (result == ERROR_MORE_DATA) return ReadResult::OtherType;
        if (result != ERROR_SUCCESS) return ReadResult::Failed;
        if (type != REG_DWORD || size != sizeof data) return ReadResult::OtherType;
        value = data;
        return ReadResult::Ok;
    }

    bool writeDWord(const std::string& name, std::uint32_t value) override {
        const DWORD data = value;
        return RegSetValueExW(key_, toWide(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                              sizeof data) == ERROR_SUCCESS;
    }

private:
    HKEY key_;
};

}  // namespace

bool keyExists(Root root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(rootHandle(root), relativePath(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::unique_ptr<Key> openKey(Root root, const std::string& path, bool create) {
    HKEY key = nullptr;
    const std::wstring relative = relativePath(path);
    LONG result = 0;
    if (create) {
        result = RegCreateKeyExW(rootHandle(root), relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, nullptr, &key, nullptr);
    } else {
        result = RegOpenKeyExW(rootHandle(root), relative.c_str(), 0, KEY_ALL_ACCESS, &key);
    }
    if (result != ERROR_SUCCESS) return nullptr;
    return std::make_unique<RegistryKey>(key);
}

std::string executablePath() {
    const std::wstring path = win::moduleFileName();
    return win::toUtf8(path.data(), static_cast<int>(path.size()));
}

}  // namespace platform::registry
