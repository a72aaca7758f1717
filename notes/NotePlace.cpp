#include "notes/NotePlace.h"

#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "notes/SyncChanges.h"

namespace {

constexpr int kCascadeStep = 24;
constexpr int kCascadeLength = 10;

// `value(key)` is the key's text, empty when it is missing.
template <class Value> RECT PlaceFrom(Value value)
{
    auto read = [&](const char* key, int fallback) { return StrToIntDef(value(key), fallback); };
    const RECT& d = kDefaultNotePlace;
    const int left = read("Left", d.left), top = read("Top", d.top);
    return {left, top, left + read("Width", d.right - d.left), top + read("Height", d.bottom - d.top)};
}

} // namespace

RECT ReadNotePlace(const TIniValues& record)
{
    return PlaceFrom([&](const char* key) { return record.ReadString(key, ""); });
}

RECT ReadNotePlace(const TIniImage& index, const std::string& section)
{
    return PlaceFrom([&](const char* key) { return index.Value(section, key).value_or(""); });
}

void WriteNotePlace(TIniFile& ini, const std::string& section, const RECT& place)
{
    ini.WriteInteger(section, "Left", place.left);
    ini.WriteInteger(section, "Top", place.top);
    ini.WriteInteger(section, "Width", place.right - place.left);
    ini.WriteInteger(section, "Height", place.bottom - place.top);
}

bool SaveNotePlace(TIniFile& ini, const std::string& section, const RECT& place)
{
    const RECT stored = ReadNotePlace(ini.ReadSectionValues(section));
    if (EqualRect(&stored, &place))
        return false;
    WriteNotePlace(ini, section, place);
    return true;
}

RECT CascadedPlace(const RECT& first, int index)
{
    RECT place = first;
    const int step = kCascadeStep * (index % kCascadeLength);
    OffsetRect(&place, step, step);
    return place;
}
