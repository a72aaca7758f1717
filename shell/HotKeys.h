#pragma once
// The two global hot keys of the tray controller: where their combinations are
// kept, how a combination is named to the user, and their registration, which
// tells which combinations could not be taken.

#include <windows.h>

#include <string>
#include <vector>

constexpr int HOTKEY_NEWMEMO = 1;
constexpr int HOTKEY_SHOWHIDE = 2;

struct THotKeySetting {
    int Id;
    UINT Key;        // virtual-key code; 0 means no key was chosen
    UINT Modifiers;  // MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4
};

// Both hot keys as the settings file holds them, defaults filled in.
std::vector<THotKeySetting> ReadHotKeys(const std::string& iniFileName);

// "Ctrl+Alt+N": the modifiers in the order the platform's hot key field shows
// them, then the key's name.
std::string HotKeyName(UINT key, UINT modifiers);

// Registers every hot key on the window; the ones the platform refused, in order.
// A hot key without a key is left unregistered and is not a failure: the user
// emptied the field on purpose. A key code past 255 is no key either (the
// configuration window shows such a field empty).
std::vector<THotKeySetting> RegisterHotKeys(HWND wnd, const std::vector<THotKeySetting>& hotKeys);
void UnregisterHotKeys(HWND wnd);

// One line per refused hot key: "The hot key Ctrl+Alt+N is used by another program."
std::string HotKeyFailureText(const std::vector<THotKeySetting>& failed);
