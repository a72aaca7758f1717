#include "tests/ConfigTestSupport.h"

#include "config/AutoStart.h"
#include "framework/Registry.h"

#include <cstring>

std::optional<std::string> ReadRunValue(HKEY root)
{
    TRegistry reg(KEY_READ);
    reg.RootKey = root;
    if (!reg.OpenKeyReadOnly(kRunKey) || !reg.ValueExists(kRunValueName))
        return std::nullopt;
    return reg.ReadString(kRunValueName);
}

void WriteRunValue(HKEY root, const std::optional<std::string>& value)
{
    TRegistry reg(KEY_ALL_ACCESS);
    reg.RootKey = root;
    reg.LazyWrite = false;
    if (!reg.OpenKey(kRunKey, true))
        return;
    if (value)
        reg.WriteString(kRunValueName, *value);
    else
        reg.DeleteValue(kRunValueName);
}

RunValuesGuard::RunValuesGuard()
    : user_(ReadRunValue(HKEY_CURRENT_USER)), machine_(ReadRunValue(HKEY_LOCAL_MACHINE))
{
    WriteRunValue(HKEY_CURRENT_USER, std::nullopt);
    WriteRunValue(HKEY_LOCAL_MACHINE, std::nullopt);
}

RunValuesGuard::~RunValuesGuard()
{
    WriteRunValue(HKEY_CURRENT_USER, user_);
    WriteRunValue(HKEY_LOCAL_MACHINE, machine_);
}

HeldKeys::HeldKeys(std::initializer_list<BYTE> keys)
{
    GetKeyboardState(saved_);
    BYTE state[256];
    std::memcpy(state, saved_, sizeof(state));
    for (BYTE key : keys)
        state[key] |= 0x80;
    SetKeyboardState(state);
}

HeldKeys::~HeldKeys() { SetKeyboardState(saved_); }

namespace {

LPARAM KeyData(WORD key, bool up)
{
    const LPARAM scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    return 1 | (scan << 16) | (up ? (3LL << 30) : 0);
}

} // namespace

void PressKey(HWND wnd, WORD key)
{
    SendMessageA(wnd, WM_KEYDOWN, key, KeyData(key, false));
    SendMessageA(wnd, WM_KEYUP, key, KeyData(key, true));
}

void PressKeys(HWND wnd, std::initializer_list<BYTE> modifiers, WORD key)
{
    HeldKeys held(modifiers);
    for (BYTE m : modifiers)
        SendMessageA(wnd, WM_KEYDOWN, m, KeyData(m, false));
    PressKey(wnd, key);
    for (BYTE m : modifiers)
        SendMessageA(wnd, WM_KEYUP, m, KeyData(m, true));
}
