#pragma once
// The two global hot keys of the tray controller: how a combination is named to
// the user, whether the keyboard types with it, and their registration, which
// tells which combinations could not be taken and why.

#include "config/HotKeySettings.h"

#include <windows.h>

#include <string>
#include <vector>

// "Ctrl+Alt+N": the modifiers in the order the platform's hot key field shows
// them, then the key's name.
std::string HotKeyName(UINT key, UINT modifiers);

// What the layout types for the key with the hot key's modifiers held (Ctrl+Alt
// is AltGr on many layouts: Ctrl+Alt+Z is "ż" on a Polish keyboard); empty when
// it types nothing. A dead key counts with its accent. The thread's keyboard
// state, a pending dead key included, is left as it was.
std::wstring TypedText(HKL layout, UINT key, UINT modifiers);
// Every layout the user can switch to, the active one first.
std::vector<HKL> KeyboardLayouts();
// What registration asks about each layout: TypedText, or in a test a layout the
// test bed lacks.
inline std::wstring (*LayoutTypedText)(HKL layout, UINT key, UINT modifiers) = TypedText;

enum class THotKeyRefusal { TakenByAnotherProgram, TypesACharacter };

struct TRefusedHotKey : THotKeySetting {
    THotKeyRefusal Why;
};

// Registers every hot key on the window; the ones left unregistered, in order.
// A combination that types a character on any of the layouts stays free, so the
// user keeps the letter. A hot key without a key is left unregistered and is not
// a failure: the user emptied the field on purpose. A key code past 255 is no key
// either (the configuration window shows such a field empty).
std::vector<TRefusedHotKey> RegisterHotKeys(HWND wnd, const std::vector<THotKeySetting>& hotKeys,
                                            const std::vector<HKL>& layouts = KeyboardLayouts());
void UnregisterHotKeys(HWND wnd);

// One line per refused hot key, naming it and why it could not be taken.
std::string HotKeyFailureText(const std::vector<TRefusedHotKey>& refused);
