#pragma once
// The very first start in a folder: Windows 11 puts a new tray icon out of sight,
// and with no memos the program would show nothing at all. A memo says how to use
// the program, and a balloon of the icon says where it is.

#include "shell/HotKeys.h"

#include <string>
#include <vector>

class TfrmPostIt;

extern const wchar_t kWelcomeBalloon[];

// What the memo says: the hot keys as they are (and which could not be taken),
// the icon and its menu, the folder the notes are kept in.
std::string WelcomeMemoText(const std::vector<THotKeySetting>& hotKeys, const std::vector<TRefusedHotKey>& refused,
                            const std::string& folder);

// Gives a new memo its caption and the text above, and saves it: it is a memo like
// any other from now on, and the next start opens it with the rest.
void FillWelcomeMemo(TfrmPostIt& memo, const std::vector<TRefusedHotKey>& refused);
