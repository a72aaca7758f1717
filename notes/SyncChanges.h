#pragma once
// What a change in the program folder means, decided without any window: which of
// the program's files a changed name is, and what changed between two readings of
// an ini file. The folder's watcher collects the names; the folder sync acts.

#include <optional>
#include <string>
#include <utility>
#include <vector>

// An ini file read in one go, as the private-profile functions read it: sections
// and keys without regard to case, the first of equal names counting.
class TIniImage {
public:
    using TValues = std::vector<std::pair<std::string, std::string>>;

    TIniImage() = default;
    explicit TIniImage(const std::string& bytes);

    const std::vector<std::pair<std::string, TValues>>& Sections() const { return sections_; }
    const TValues* Find(const std::string& section) const;
    std::optional<std::string> Value(const std::string& section, const std::string& key) const;

private:
    std::vector<std::pair<std::string, TValues>> sections_;
};

// How two readings of an ini file differ.
struct TIniChanges {
    std::vector<std::string> Added, Removed;
    // Sections in both whose keys differ, with the keys that came, went or changed.
    std::vector<std::pair<std::string, std::vector<std::string>>> Changed;
};
TIniChanges CompareIni(const TIniImage& before, const TIniImage& after);

// What the sections and keys of `other` add to `main`: the sections it lacks, and
// the keys it lacks of the sections both have (a conflict copy's share).
std::vector<std::pair<std::string, TIniImage::TValues>> MissingFrom(const TIniImage& main, const TIniImage& other);

// What a changed name in the program folder (relative to it, "zkBasket\x.txt" for
// the wastebasket) is to the program.
enum class TFolderItem { Other, Memo, Index, Settings, Wastebasket, ConflictCopy };
struct TChangedItem {
    TFolderItem Kind = TFolderItem::Other;
    int Number = 0;  // the memo's number, for a memo file
};
TChangedItem ClassifyChangedName(const std::string& relativeName, const std::string& indexName,
                                 const std::string& settingsName, const std::string& basketName);

// The caption of the memo that keeps the other version of a memo: its caption, or
// else its first line that is not blank, and then " (changed elsewhere)".
std::string ChangedElsewhereCaption(const std::string& caption, const std::vector<std::string>& lines);

// A fingerprint of file content, to know one's own writes when they come back.
unsigned long long ContentHash(const std::string& bytes);
