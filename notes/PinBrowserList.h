#pragma once
// The pinned pages as a whole, for the tray: one window per address of the
// settings file's "url" section, numbered by the key's position there.

#include <vector>

class TfrmPinBrowser;

// The page windows of the application, oldest first.
std::vector<TfrmPinBrowser*> PinBrowserWindows();
// Opens a page window for every non-empty address, each sent to the desktop and
// shown; an empty value opens nothing but still takes its number.
std::vector<TfrmPinBrowser*> LoadPinBrowsers();
// Every page window, shown or closed, remembers where it is.
void SavePinBrowserPositions();
// After the addresses changed: every page window goes, last first, without a
// close query and without saving where it was; then the list opens again.
std::vector<TfrmPinBrowser*> ReloadPinBrowsers();
