#include "notes/SyncChanges.h"

#include "framework/SysUtils.h"
#include "notes/ConflictCopies.h"

#include <windows.h>

#include <algorithm>

namespace {

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                                                  b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

template <typename Pairs>
auto FindName(Pairs& pairs, const std::string& name)
{
    return std::find_if(pairs.begin(), pairs.end(), [&](const auto& pair) { return SameName(pair.first, name); });
}

} // namespace

TIniImage::TIniImage(const std::string& bytes)
{
    TValues* current = nullptr;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        const std::string line = Trim(std::string_view(bytes).substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line.front() == '[') {
            const size_t close = line.find(']');
            const std::string name = Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            auto found = FindName(sections_, name);
            if (found == sections_.end()) {
                sections_.emplace_back(name, TValues{});
                current = &sections_.back().second;
            } else {
                current = &found->second;
            }
            continue;
        }
        const size_t equals = line.find('=');
        if (!current || equals == std::string::npos)
            continue;
        const std::string key = Trim(line.substr(0, equals));
        if (FindName(*current, key) == current->end())
            current->emplace_back(key, Trim(line.substr(equals + 1)));
    }
}

const TIniImage::TValues* TIniImage::Find(const std::string& section) const
{
    auto found = FindName(sections_, section);
    return found == sections_.end() ? nullptr : &found->second;
}

std::optional<std::string> TIniImage::Value(const std::string& section, const std::string& key) const
{
    const TValues* values = Find(section);
    if (!values)
        return std::nullopt;
    auto found = FindName(*values, key);
    if (found == values->end())
        return std::nullopt;
    return found->second;
}

TIniChanges CompareIni(const TIniImage& before, const TIniImage& after)
{
    TIniChanges changes;
    for (const auto& [section, values] : after.Sections()) {
        const TIniImage::TValues* old = before.Find(section);
        if (!old) {
            changes.Added.push_back(section);
            continue;
        }
        std::vector<std::string> keys;
        for (const auto& [key, value] : values)
            if (before.Value(section, key) != value)
                keys.push_back(key);
        for (const auto& [key, value] : *old)
            if (!after.Value(section, key))
                keys.push_back(key);
        if (!keys.empty())
            changes.Changed.emplace_back(section, std::move(keys));
    }
    for (const auto& [section, values] : before.Sections())
        if (!after.Find(section))
            changes.Removed.push_back(section);
    return changes;
}

std::vector<std::pair<std::string, TIniImage::TValues>> MissingFrom(const TIniImage& main, const TIniImage& other)
{
    std::vector<std::pair<std::string, TIniImage::TValues>> missing;
    for (const auto& [section, values] : other.Sections()) {
        TIniImage::TValues lacking;
        for (const auto& entry : values)
            if (!main.Value(section, entry.first))
                lacking.push_back(entry);
        if (!lacking.empty())
            missing.emplace_back(section, std::move(lacking));
    }
    return missing;
}

TChangedItem ClassifyChangedName(const std::string& relativeName, const std::string& indexName,
                                 const std::string& settingsName, const std::string& basketName)
{
    const size_t slash = relativeName.find('\\');
    if (slash != std::string::npos)
        return {SameName(relativeName.substr(0, slash), basketName) ? TFolderItem::Wastebasket : TFolderItem::Other};
    if (SameName(relativeName, basketName))
        return {TFolderItem::Wastebasket};
    if (SameName(relativeName, indexName))
        return {TFolderItem::Index};
    if (SameName(relativeName, settingsName))
        return {TFolderItem::Settings};
    if (const std::optional<int> number = MemoNumberOfFileName(relativeName))
        return {TFolderItem::Memo, *number};
    if (ConflictCopyOf(relativeName, indexName, settingsName))
        return {TFolderItem::ConflictCopy};
    return {};
}

std::string ChangedElsewhereCaption(const std::string& caption, const std::vector<std::string>& lines)
{
    std::string title = caption;
    for (auto line = lines.begin(); title.empty() && line != lines.end(); ++line)
        title = Trim(*line);
    return title.empty() ? "(changed elsewhere)" : title + " (changed elsewhere)";
}

unsigned long long ContentHash(const std::string& bytes)
{
    // FNV-1a: enough to tell our own bytes from anyone else's.
    unsigned long long hash = 1469598103934665603ull;
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}
