#pragma once
// The two hot-key records of the settings file ("hkNewMemo" and "hkShowAll", each a
// "hotKey" and a "hotMod"): their defaults, how they are read and written, and the
// conversions between the stored modifier bits and those of the hot key field and
// of a shift state. The tray registers what is read here; the configuration window
// shows it and writes it back.

#include "framework/Controls.h"
#include "framework/HotKey.h"

#include <windows.h>

#include <string>
#include <vector>

class TIniFile;

constexpr int HOTKEY_NEWMEMO = 1;
constexpr int HOTKEY_SHOWHIDE = 2;

struct THotKeySetting {
    int Id;          // HOTKEY_NEWMEMO or HOTKEY_SHOWHIDE
    UINT Key;        // virtual-key code; 0 means no key was chosen
    UINT Modifiers;  // the stored bits: MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4
};

// Both hot keys as the settings file holds them, defaults filled in, new memo first.
std::vector<THotKeySetting> ReadHotKeys(const TIniFile& ini);
std::vector<THotKeySetting> ReadHotKeys(const std::string& iniFileName);
// Writes both records: the two keys first, then the two modifier values.
void WriteHotKeys(TIniFile& ini, const std::vector<THotKeySetting>& hotKeys);

// The settings file's modifier bits, which the platform's hot key registration
// takes as they are: 1 Alt, 2 Ctrl, 4 Shift. The field's extended-key flag and any
// other stored bit are dropped.
int HotModFromModifiers(THKModifiers modifiers);
TShiftState ShiftStateFromHotMod(int bits);
THKModifiers HKModifiersFromShiftState(TShiftState shift);
