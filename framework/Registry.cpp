#include "framework/Registry.h"

#include "framework/SysUtils.h"

#include <vector>

bool TRegistry::Open(const std::string& key, REGSAM access, bool canCreate)
{
    CloseKey();
    HKEY opened = nullptr;
    const LONG result = canCreate ? RegCreateKeyExA(RootKey, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                    access, nullptr, &opened, nullptr)
                                  : RegOpenKeyExA(RootKey, key.c_str(), 0, access, &opened);
    if (result != ERROR_SUCCESS)
        return false;
    current_ = opened;
    return true;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) { return Open(key, access_, canCreate); }

bool TRegistry::OpenKeyReadOnly(const std::string& key) { return Open(key, KEY_READ, false); }

void TRegistry::CloseKey()
{
    if (!current_)
        return;
    if (!LazyWrite)
        RegFlushKey(current_);
    RegCloseKey(current_);
    current_ = nullptr;
}

bool TRegistry::ValueExists(const std::string& name) const
{
    return current_ && RegQueryValueExA(current_, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string TRegistry::ReadString(const std::string& name) const
{
    if (!current_)
        return "";
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(current_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return "";
    // The value may change between the two calls: ask again until it fits.
    std::vector<char> buffer(size + 1);
    for (;;) {
        size = static_cast<DWORD>(buffer.size());
        const LONG result = RegQueryValueExA(current_, name.c_str(), nullptr, &type,
                                             reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (result == ERROR_MORE_DATA) {
            buffer.resize(size + 1);
            continue;
        }
        if (result != ERROR_SUCCESS)
            return "";
        // Stored strings need not end in a zero.
        std::string value(buffer.data(), size);
        while (!value.empty() && value.back() == '\0')
            value.pop_back();
        return value;
    }
}

void TRegistry::WriteString(const std::string& name, const std::string& value)
{
    const LONG result =
        current_ ? RegSetValueExA(current_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                  static_cast<DWORD>(value.size() + 1))
                 : ERROR_INVALID_HANDLE;
    if (result != ERROR_SUCCESS)
        throw ERegistryException(Format("Failed to set data for '%s'", name.c_str()));
}

bool TRegistry::DeleteValue(const std::string& name)
{
    return current_ && RegDeleteValueA(current_, name.c_str()) == ERROR_SUCCESS;
}
