#include "config/HotKeySettings.h"

#include "framework/IniFiles.h"

namespace {

struct HotKeyRecord {
    int id;
    const char* section;
    UINT defaultKey;
};

constexpr HotKeyRecord kRecords[] = {
    {HOTKEY_NEWMEMO, "hkNewMemo", 'N'},
    {HOTKEY_SHOWHIDE, "hkShowAll", 'Z'},
};
constexpr UINT kDefaultModifiers = MOD_CONTROL | MOD_ALT;

// One modifier in each of its three spellings: the stored bits, a shift state, the
// hot key field's flags. Anything else in a value is dropped on the way.
struct ModifierBits {
    unsigned hotMod;
    TShiftState shift;
    THKModifiers field;
};

constexpr ModifierBits kModifiers[] = {
    {MOD_SHIFT, ssShift, hkShift},
    {MOD_ALT, ssAlt, hkAlt},
    {MOD_CONTROL, ssCtrl, hkCtrl},
};

template <unsigned ModifierBits::*From, unsigned ModifierBits::*To>
unsigned ConvertModifiers(unsigned value)
{
    unsigned converted = 0;
    for (const ModifierBits& m : kModifiers)
        if (value & m.*From)
            converted |= m.*To;
    return converted;
}

const HotKeyRecord* RecordOf(int id)
{
    for (const HotKeyRecord& record : kRecords)
        if (record.id == id)
            return &record;
    return nullptr;
}

} // namespace

std::vector<THotKeySetting> ReadHotKeys(const TIniFile& ini)
{
    std::vector<THotKeySetting> hotKeys;
    for (const HotKeyRecord& r : kRecords) {
        const int key = ini.ReadInteger(r.section, "hotKey", static_cast<int>(r.defaultKey));
        const int modifiers = ini.ReadInteger(r.section, "hotMod", static_cast<int>(kDefaultModifiers));
        hotKeys.push_back({r.id, static_cast<UINT>(key), static_cast<UINT>(modifiers)});
    }
    return hotKeys;
}

std::vector<THotKeySetting> ReadHotKeys(const std::string& iniFileName) { return ReadHotKeys(TIniFile(iniFileName)); }

void WriteHotKeys(TIniFile& ini, const std::vector<THotKeySetting>& hotKeys)
{
    for (const THotKeySetting& hotKey : hotKeys)
        if (const HotKeyRecord* record = RecordOf(hotKey.Id))
            ini.WriteInteger(record->section, "hotKey", static_cast<int>(hotKey.Key));
    for (const THotKeySetting& hotKey : hotKeys)
        if (const HotKeyRecord* record = RecordOf(hotKey.Id))
            ini.WriteInteger(record->section, "hotMod", static_cast<int>(hotKey.Modifiers));
}

int HotModFromModifiers(THKModifiers modifiers)
{
    return static_cast<int>(ConvertModifiers<&ModifierBits::field, &ModifierBits::hotMod>(modifiers));
}

TShiftState ShiftStateFromHotMod(int bits)
{
    return ConvertModifiers<&ModifierBits::hotMod, &ModifierBits::shift>(static_cast<unsigned>(bits));
}

THKModifiers HKModifiersFromShiftState(TShiftState shift)
{
    return ConvertModifiers<&ModifierBits::shift, &ModifierBits::field>(shift);
}
