#include "shell/HotKeys.h"

#include "framework/IniFiles.h"
#include "framework/SysUtils.h"

namespace {

struct HotKeySection {
    int id;
    const char* section;
    UINT defaultKey;
};

constexpr HotKeySection kSections[] = {
    {HOTKEY_NEWMEMO, "hkNewMemo", 'N'},
    {HOTKEY_SHOWHIDE, "hkShowAll", 'Z'},
};
constexpr UINT kDefaultModifiers = MOD_CONTROL | MOD_ALT;

// The keyboard's own name of a key that has no printable face of its own.
std::string KeyboardKeyName(UINT key)
{
    UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    if (!scan)
        return Format("Key %u", key);
    LONG lParam = static_cast<LONG>(scan << 16);
    // These share their scan codes with the number pad; only the extended bit
    // names the navigation block.
    switch (key) {
    case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME: case VK_LEFT: case VK_UP: case VK_RIGHT:
    case VK_DOWN: case VK_INSERT: case VK_DELETE: case VK_DIVIDE: case VK_NUMLOCK:
        lParam |= 1 << 24;
        break;
    default:
        break;
    }
    char name[64] = {};
    if (GetKeyNameTextA(lParam, name, sizeof(name)) <= 0)
        return Format("Key %u", key);
    return name;
}

std::string KeyName(UINT key)
{
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F24)
        return Format("F%u", key - VK_F1 + 1);
    return KeyboardKeyName(key);
}

} // namespace

std::vector<THotKeySetting> ReadHotKeys(const std::string& iniFileName)
{
    const TIniFile ini(iniFileName);
    std::vector<THotKeySetting> hotKeys;
    for (const HotKeySection& s : kSections) {
        const int key = ini.ReadInteger(s.section, "hotKey", static_cast<int>(s.defaultKey));
        const int modifiers = ini.ReadInteger(s.section, "hotMod", static_cast<int>(kDefaultModifiers));
        hotKeys.push_back({s.id, static_cast<UINT>(key), static_cast<UINT>(modifiers)});
    }
    return hotKeys;
}

std::string HotKeyName(UINT key, UINT modifiers)
{
    std::string name;
    if (modifiers & MOD_CONTROL) name += "Ctrl+";
    if (modifiers & MOD_SHIFT) name += "Shift+";
    if (modifiers & MOD_ALT) name += "Alt+";
    return name + KeyName(key);
}

std::vector<THotKeySetting> RegisterHotKeys(HWND wnd, const std::vector<THotKeySetting>& hotKeys)
{
    std::vector<THotKeySetting> failed;
    for (const THotKeySetting& hotKey : hotKeys) {
        if (hotKey.Key == 0 || hotKey.Key > 255)
            continue;
        if (!RegisterHotKey(wnd, hotKey.Id, hotKey.Modifiers, hotKey.Key))
            failed.push_back(hotKey);
    }
    return failed;
}

void UnregisterHotKeys(HWND wnd)
{
    UnregisterHotKey(wnd, HOTKEY_NEWMEMO);
    UnregisterHotKey(wnd, HOTKEY_SHOWHIDE);
}

std::string HotKeyFailureText(const std::vector<THotKeySetting>& failed)
{
    std::string text;
    for (const THotKeySetting& hotKey : failed) {
        if (!text.empty())
            text += "\n";
        text += "The hot key " + HotKeyName(hotKey.Key, hotKey.Modifiers) + " is used by another program.";
    }
    return text;
}
