#include "framework/IniFiles.h"

#include "framework/SysUtils.h"

#include <windows.h>

#include <algorithm>

namespace {
constexpr DWORD kStringBufferSize = 2048;

// The platform fills a double-zero-terminated list and reports size - 2 when it
// did not fit, so grow until it does.
template <typename Fill>
std::vector<std::string> ReadZeroList(Fill fill)
{
    std::vector<char> buffer(4096);
    for (;;) {
        const DWORD n = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n + 2 < buffer.size()) {
            std::vector<std::string> items;
            for (size_t i = 0; i < n;) {
                const std::string item(buffer.data() + i);
                i += item.size() + 1;
                if (!item.empty())
                    items.push_back(item);
            }
            return items;
        }
        buffer.resize(buffer.size() * 4);
    }
}
} // namespace

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& fallback) const
{
    char buffer[kStringBufferSize];
    const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer,
                                             kStringBufferSize, fileName_.c_str());
    return std::string(buffer, n);
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int fallback) const
{
    const std::string text = ReadString(section, key, "");
    return StrToIntDef(text, fallback);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool fallback) const
{
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void TIniFile::Write(const char* section, const char* key, const char* value)
{
    if (!WritePrivateProfileStringA(section, key, value, fileName_.c_str()))
        throw EIniFileException(Format("Unable to write to %s", fileName_.c_str()));
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    // A line break in a value would end its line: what follows would read as keys or
    // a section of their own. No byte below 32 is ever part of a double-byte
    // character, so every code page keeps its characters.
    std::string line = value;
    for (char& c : line)
        if (static_cast<unsigned char>(c) < ' ')
            c = ' ';
    Write(section.c_str(), key.c_str(), line.c_str());
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value)
{
    WriteString(section, key, IntToStr(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

std::vector<std::string> TIniFile::ReadList(const char* section) const
{
    return ReadZeroList([&](char* buffer, DWORD size) {
        return section ? GetPrivateProfileStringA(section, nullptr, "", buffer, size, fileName_.c_str())
                       : GetPrivateProfileSectionNamesA(buffer, size, fileName_.c_str());
    });
}

TIniValues TIniFile::ReadSectionValues(const std::string& section) const
{
    const std::vector<std::string> lines = ReadZeroList([&](char* buffer, DWORD size) {
        return GetPrivateProfileSectionA(section.c_str(), buffer, size, fileName_.c_str());
    });
    std::vector<std::pair<std::string, std::string>> entries;
    for (const std::string& line : lines)
        if (const size_t equals = line.find('='); equals != std::string::npos)
            entries.emplace_back(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
    return TIniValues(std::move(entries));
}

std::string TIniValues::ReadString(const std::string& key, const std::string& fallback) const
{
    for (const auto& [name, value] : entries_) {
        if (lstrcmpiA(name.c_str(), key.c_str()) != 0)
            continue;
        // What the platform does to a value read key by key: quotes, single or
        // double, around the whole of it go, and it holds at most what the buffer does.
        std::string read = value;
        if (read.size() >= 2 && (read.front() == '"' || read.front() == '\'') && read.back() == read.front())
            read = read.substr(1, read.size() - 2);
        if (read.size() >= kStringBufferSize)
            read.resize(kStringBufferSize - 1);
        return read;
    }
    return fallback;
}

int TIniValues::ReadInteger(const std::string& key, int fallback) const
{
    return StrToIntDef(ReadString(key, ""), fallback);
}

std::vector<std::string> TIniFile::ReadSections() const { return ReadList(nullptr); }

std::vector<std::string> TIniFile::ReadSection(const std::string& section) const
{
    return ReadList(section.c_str());
}

bool TIniFile::SectionExists(const std::string& section) const
{
    const auto sections = ReadSections();
    return std::any_of(sections.begin(), sections.end(),
                       [&](const std::string& s) { return lstrcmpiA(s.c_str(), section.c_str()) == 0; });
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const
{
    const auto keys = ReadSection(section);
    return std::any_of(keys.begin(), keys.end(),
                       [&](const std::string& k) { return lstrcmpiA(k.c_str(), key.c_str()) == 0; });
}

void TIniFile::EraseSection(const std::string& section) { Write(section.c_str(), nullptr, nullptr); }

void TIniFile::DeleteKey(const std::string& section, const std::string& key)
{
    // Deleting a key that is not there is not an error.
    WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, fileName_.c_str());
}
