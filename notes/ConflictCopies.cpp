#include "notes/ConflictCopies.h"

#include "framework/SysUtils.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool AllDigits(std::string_view s) { return !s.empty() && std::all_of(s.begin(), s.end(), IsDigit); }

std::string Lower(std::string_view s)
{
    std::string lower(s);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool EqualNoCase(std::string_view a, std::string_view b) { return Lower(a) == Lower(b); }

bool StartsWithNoCase(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && EqualNoCase(s.substr(0, prefix.size()), prefix);
}

// "-LAPTOP", "-DESKTOP-4F2K": the computer's name as OneDrive adds it (letters,
// digits, hyphens and underscores; the names Windows gives a computer).
bool IsComputerSuffix(std::string_view s)
{
    return s.size() >= 2 && s[0] == '-' && std::all_of(s.begin() + 1, s.end(), [](char c) {
               return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
           });
}

// " (… conflicted copy …)" as Dropbox and Nextcloud write it, or " (2)".
bool IsBracketedSuffix(std::string_view s)
{
    if (s.size() < 4 || s.substr(0, 2) != " (" || s.back() != ')')
        return false;
    const std::string_view inside = s.substr(2, s.size() - 3);
    return AllDigits(inside) || Lower(inside).find("conflicted copy") != std::string::npos;
}

// ".sync-conflict-20260305-091501-ABCDEFG"
bool IsSyncthingSuffix(std::string_view s)
{
    constexpr std::string_view kMark = ".sync-conflict-";
    if (!StartsWithNoCase(s, kMark))
        return false;
    const std::string_view rest = s.substr(kMark.size());
    return rest.size() > 16 && AllDigits(rest.substr(0, 8)) && rest[8] == '-' && AllDigits(rest.substr(9, 6)) &&
           rest[15] == '-';
}

bool IsConflictSuffix(std::string_view s)
{
    return IsComputerSuffix(s) || IsBracketedSuffix(s) || IsSyncthingSuffix(s);
}

// The stem of a memo file at the start of `stem`: its leading digits.
std::optional<std::string> MemoStemAtStart(std::string_view stem)
{
    size_t digits = 0;
    while (digits < stem.size() && IsDigit(stem[digits]))
        ++digits;
    const std::string original = std::string(stem.substr(0, digits)) + ".txt";
    if (!MemoNumberOfFileName(original))
        return std::nullopt;
    return original;
}

} // namespace

std::optional<int> MemoNumberOfFileName(const std::string& name)
{
    constexpr std::string_view kExtension = ".txt";
    if (name.size() <= kExtension.size() || !EqualNoCase(std::string_view(name).substr(name.size() - 4), kExtension))
        return std::nullopt;
    const std::string stem = name.substr(0, name.size() - kExtension.size());
    if (stem.size() < 3 || stem.size() > 9 || !AllDigits(stem))
        return std::nullopt;
    const int number = std::stoi(stem);
    // Only the name the store gives that number: "0007.txt" is no memo of 7.
    if (number < 1 || Format("%03d", number) != stem)
        return std::nullopt;
    return number;
}

std::optional<std::string> ConflictCopyOf(const std::string& name, const std::string& indexName,
                                          const std::string& settingsName)
{
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return std::nullopt;
    const std::string_view stem = std::string_view(name).substr(0, dot);
    const std::string_view extension = std::string_view(name).substr(dot);
    if (EqualNoCase(extension, ".txt")) {
        const std::optional<std::string> original = MemoStemAtStart(stem);
        if (original && IsConflictSuffix(stem.substr(original->size() - 4)))
            return original;
        return std::nullopt;
    }
    for (const std::string& kept : {indexName, settingsName}) {
        const size_t keptDot = kept.rfind('.');
        const std::string_view keptStem = std::string_view(kept).substr(0, keptDot);
        if (EqualNoCase(extension, std::string_view(kept).substr(keptDot)) && StartsWithNoCase(stem, keptStem) &&
            IsConflictSuffix(stem.substr(keptStem.size())))
            return kept;
    }
    return std::nullopt;
}
