#pragma once
// An ini file read and written through the platform's private-profile functions.
// Nothing is cached: every call opens the file, does its work and lets it go.

#include <string>
#include <utility>
#include <vector>

// The keys and values of one section, read at once.
class TIniValues {
public:
    explicit TIniValues(std::vector<std::pair<std::string, std::string>> entries) : entries_(std::move(entries)) {}
    bool Empty() const { return entries_.empty(); }
    // As TIniFile reads them: keys without regard to case, the first of equal keys.
    std::string ReadString(const std::string& key, const std::string& fallback) const;
    int ReadInteger(const std::string& key, int fallback) const;

private:
    std::vector<std::pair<std::string, std::string>> entries_;
};

class TIniFile {
public:
    explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

    const std::string& FileName() const { return fileName_; }

    // Up to 2047 characters; the default when the key is absent.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;
    // Decimal, "0x"/"$" hexadecimal; the default when absent or unreadable.
    int ReadInteger(const std::string& section, const std::string& key, int fallback) const;
    bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;

    // Raise EIniFileException "Unable to write to %s" when the platform refuses.
    // A value stays on its line: control characters in it are written as blanks.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    // Section names, and the key names of one section, in file order.
    std::vector<std::string> ReadSections() const;
    std::vector<std::string> ReadSection(const std::string& section) const;
    bool SectionExists(const std::string& section) const;
    // Every key=value of a section in one read: once the file has changed, each
    // read parses the whole file again, a thousand memo records of it.
    TIniValues ReadSectionValues(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;

    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& key);

private:
    std::vector<std::string> ReadList(const char* section) const;
    void Write(const char* section, const char* key, const char* value);

    std::string fileName_;
};
