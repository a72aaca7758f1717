#pragma once
// Asking for an input method by the name the system shows for it.

#include <string>

// Makes the installed keyboard layout whose input method has this description the
// thread's layout. False, with nothing changed, when no such input method exists.
bool RequestInputMethod(const std::wstring& description);
