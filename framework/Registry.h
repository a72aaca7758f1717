#pragma once
// One open registry key at a time, as the settings code needs it. Writes that the
// platform refuses raise ERegistryException "Failed to set data for '%s'".

#include <windows.h>

#include <string>

class TRegistry {
public:
    explicit TRegistry(REGSAM access = KEY_ALL_ACCESS) : access_(access) {}
    ~TRegistry() { CloseKey(); }
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey = HKEY_CURRENT_USER;
    // Closing flushes the key when false, so that a write is on disk at once.
    bool LazyWrite = true;

    // Opens a key below RootKey with the access given at construction; false when
    // it is not there (and canCreate is false) or the access is not granted.
    bool OpenKey(const std::string& key, bool canCreate);
    bool OpenKeyReadOnly(const std::string& key);
    void CloseKey();
    HKEY CurrentKey() const { return current_; }

    bool ValueExists(const std::string& name) const;
    // Empty when the value is missing or is no string.
    std::string ReadString(const std::string& name) const;
    void WriteString(const std::string& name, const std::string& value);
    // False when the value was not there or could not be deleted.
    bool DeleteValue(const std::string& name);

private:
    bool Open(const std::string& key, REGSAM access, bool canCreate);

    REGSAM access_;
    HKEY current_ = nullptr;
};
