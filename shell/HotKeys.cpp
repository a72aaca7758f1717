#include "shell/HotKeys.h"

#include "framework/SysUtils.h"

#include <algorithm>
#include <initializer_list>

namespace {

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

std::string HotKeyName(UINT key, UINT modifiers)
{
    std::string name;
    if (modifiers & MOD_CONTROL) name += "Ctrl+";
    if (modifiers & MOD_SHIFT) name += "Shift+";
    if (modifiers & MOD_ALT) name += "Alt+";
    return name + KeyName(key);
}

std::wstring TypedText(HKL layout, UINT key, UINT modifiers)
{
    BYTE state[256] = {};
    const auto hold = [&](std::initializer_list<int> keys) {
        for (int k : keys)
            state[k] = 0x80;
    };
    if (modifiers & MOD_CONTROL) hold({VK_CONTROL, VK_LCONTROL});
    // AltGr is Ctrl with the right Alt; layouts with AltGr take Ctrl+Alt for it.
    if (modifiers & MOD_ALT) hold({VK_MENU, VK_RMENU});
    if (modifiers & MOD_SHIFT) hold({VK_SHIFT, VK_LSHIFT});
    const UINT scan = MapVirtualKeyExW(key, MAPVK_VK_TO_VSC, layout);
    // Bit 2: leave the keyboard state alone (Windows 10 1607 and later). Older
    // systems ignore it and remember a dead key; the same key once more types the
    // accent twice and forgets it. Where the bit is honoured, that second call
    // just finds the dead key again.
    constexpr UINT kKeepState = 1u << 2;
    wchar_t typed[16] = {};
    const int count = ToUnicodeEx(key, scan, state, typed, 15, kKeepState, layout);
    if (count < 0) {
        wchar_t ignored[16] = {};
        ToUnicodeEx(key, scan, state, ignored, 15, kKeepState, layout);
    }
    std::wstring text(typed, static_cast<size_t>(count < 0 ? 1 : count));
    // Ctrl with a letter gives a control code: nothing a user sees typed.
    std::erase_if(text, [](wchar_t c) { return c < L' ' || c == 0x7F; });
    return text;
}

std::vector<HKL> KeyboardLayouts()
{
    std::vector<HKL> layouts{GetKeyboardLayout(0)};
    std::vector<HKL> installed(static_cast<size_t>(std::max(0, GetKeyboardLayoutList(0, nullptr))));
    installed.resize(static_cast<size_t>(std::max(0, GetKeyboardLayoutList(static_cast<int>(installed.size()), installed.data()))));
    for (HKL layout : installed)
        if (std::find(layouts.begin(), layouts.end(), layout) == layouts.end())
            layouts.push_back(layout);
    return layouts;
}

namespace {

bool TypesACharacter(const std::vector<HKL>& layouts, const THotKeySetting& hotKey)
{
    return std::any_of(layouts.begin(), layouts.end(),
                       [&](HKL layout) { return !LayoutTypedText(layout, hotKey.Key, hotKey.Modifiers).empty(); });
}

} // namespace

std::vector<TRefusedHotKey> RegisterHotKeys(HWND wnd, const std::vector<THotKeySetting>& hotKeys,
                                            const std::vector<HKL>& layouts)
{
    std::vector<TRefusedHotKey> refused;
    for (const THotKeySetting& hotKey : hotKeys) {
        if (hotKey.Key == 0 || hotKey.Key > 255)
            continue;
        if (TypesACharacter(layouts, hotKey))
            refused.push_back({hotKey, THotKeyRefusal::TypesACharacter});
        else if (!RegisterHotKey(wnd, hotKey.Id, hotKey.Modifiers, hotKey.Key))
            refused.push_back({hotKey, THotKeyRefusal::TakenByAnotherProgram});
    }
    return refused;
}

void UnregisterHotKeys(HWND wnd)
{
    UnregisterHotKey(wnd, HOTKEY_NEWMEMO);
    UnregisterHotKey(wnd, HOTKEY_SHOWHIDE);
}

std::string HotKeyFailureText(const std::vector<TRefusedHotKey>& refused)
{
    std::string text;
    for (const TRefusedHotKey& hotKey : refused) {
        if (!text.empty())
            text += "\n";
        text += "The hot key " + HotKeyName(hotKey.Key, hotKey.Modifiers) +
                (hotKey.Why == THotKeyRefusal::TypesACharacter ? " types a character on this keyboard; it was left free."
                                                               : " is used by another program.");
    }
    return text;
}
