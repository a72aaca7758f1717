#pragma once
// Shared by the configuration window's tests: the Run key values kept out of the
// way while a test runs, and modifier keys held for the thread.

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>

// Takes the "Pinova" values of both Run keys away for the life of a test and
// puts back what was there before.
class RunValuesGuard {
public:
    RunValuesGuard();
    ~RunValuesGuard();
    RunValuesGuard(const RunValuesGuard&) = delete;
    RunValuesGuard& operator=(const RunValuesGuard&) = delete;

private:
    std::optional<std::string> user_, machine_;
};

// The value, or nothing when it is not there.
std::optional<std::string> ReadRunValue(HKEY root);
void WriteRunValue(HKEY root, const std::optional<std::string>& value);

// Makes the thread see the given keys as held down (GetKeyState) until it ends.
class HeldKeys {
public:
    explicit HeldKeys(std::initializer_list<BYTE> keys);
    ~HeldKeys();
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    BYTE saved_[256];
};

// A key press as the platform delivers it to the focused window.
void PressKey(HWND wnd, WORD key);
// The modifiers pressed and held, the key pressed, the modifiers let go.
void PressKeys(HWND wnd, std::initializer_list<BYTE> modifiers, WORD key);
