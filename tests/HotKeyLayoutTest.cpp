// Hot keys and the keyboard layout: Ctrl+Alt is AltGr on many layouts, and a hot
// key on such a combination would take a letter away from the user everywhere.

#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "shell/HotKeys.h"
#include "tests/TraySupport.h"

#include <gtest/gtest.h>

namespace {

HKL UsLayout() { return LoadKeyboardLayoutA("00000409", KLF_NOTELLSHELL); }
// A layout handle that is not the US one, for the stand-in to be Polish on.
const HKL kPolish = reinterpret_cast<HKL>(static_cast<ULONG_PTR>(0x04150415));

struct Window {
    HWND wnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ~Window()
    {
        UnregisterHotKeys(wnd);
        DestroyWindow(wnd);
    }
};

const std::vector<THotKeySetting> kDefaults = {{HOTKEY_NEWMEMO, 'N', MOD_CONTROL | MOD_ALT},
                                               {HOTKEY_SHOWHIDE, 'Z', MOD_CONTROL | MOD_ALT}};

const char kBothTypeLetters[] = "The hot key Ctrl+Alt+N types a character on this keyboard; it was left free.\n"
                                "The hot key Ctrl+Alt+Z types a character on this keyboard; it was left free.";

} // namespace

TEST(HotKeyLayouts, WhatTheUsLayoutTypesWithTheHotKeysModifiers)
{
    struct Case {
        UINT key, modifiers;
        std::wstring typed;
    } cases[] = {
        {'N', 0, L"n"},
        {'N', MOD_SHIFT, L"N"},
        {'1', MOD_SHIFT, L"!"},
        {VK_OEM_2, 0, L"/"},
        {'N', MOD_CONTROL, L""},  // a control code, nothing seen
        {'N', MOD_CONTROL | MOD_ALT, L""},
        {'Z', MOD_CONTROL | MOD_ALT, L""},
        {'7', MOD_CONTROL | MOD_ALT | MOD_SHIFT, L""},
        {VK_F5, MOD_CONTROL | MOD_SHIFT, L""},
        {VK_HOME, MOD_ALT, L""},
    };
    const HKL us = UsLayout();
    ASSERT_NE(nullptr, us);
    for (const Case& c : cases)
        EXPECT_EQ(c.typed, TypedText(us, c.key, c.modifiers)) << c.key << " " << c.modifiers;
}

TEST(HotKeyLayouts, ACombinationThatTypesACharacterIsLeftFreeOnAnyLayoutTheUserHas)
{
    const HKL us = UsLayout();
    const StandInPolishLayout polishKeyboard({kPolish});
    struct Case {
        std::vector<HKL> layouts;
        size_t refused;
    } cases[] = {{{us}, 0}, {{kPolish}, 2}, {{us, kPolish}, 2}};
    for (const Case& c : cases) {
        Window window;
        const std::vector<TRefusedHotKey> refused = RegisterHotKeys(window.wnd, kDefaults, c.layouts);
        ASSERT_EQ(c.refused, refused.size()) << c.layouts.size();
        for (const TRefusedHotKey& hotKey : refused)
            EXPECT_EQ(THotKeyRefusal::TypesACharacter, hotKey.Why);
        EXPECT_EQ(c.refused == 0, !HotKeyIsFree(MOD_CONTROL | MOD_ALT, 'N')) << c.refused;
        EXPECT_EQ(c.refused == 0, !HotKeyIsFree(MOD_CONTROL | MOD_ALT, 'Z')) << c.refused;
        if (c.refused) {
            EXPECT_EQ(kBothTypeLetters, HotKeyFailureText(refused));
        }
    }
    // Combinations the Polish layout leaves alone are the program's there too.
    Window window;
    const std::vector<THotKeySetting> others = {{HOTKEY_NEWMEMO, 'Q', MOD_CONTROL | MOD_ALT},
                                                {HOTKEY_SHOWHIDE, VK_F5, MOD_CONTROL | MOD_ALT}};
    EXPECT_TRUE(RegisterHotKeys(window.wnd, others, {kPolish}).empty());
    EXPECT_FALSE(HotKeyIsFree(MOD_CONTROL | MOD_ALT, 'Q'));
}

TEST(HotKeyLayouts, OnAPolishKeyboardTheTrayNamesBothDefaultsAndKeepsTheSettings)
{
    const std::string settings = "[hkNewMemo]\r\nhotKey=78\r\nhotMod=3\r\n";
    const StandInPolishLayout polishKeyboard;
    Tray tray("", settings);
    EXPECT_EQ(AnsiToWide(kBothTypeLetters), tray->BalloonText);
    EXPECT_TRUE(HotKeyIsFree(MOD_CONTROL | MOD_ALT, 'N'));
    EXPECT_TRUE(HotKeyIsFree(MOD_CONTROL | MOD_ALT, 'Z'));
    EXPECT_EQ(settings, ReadWholeFile(PrjInfo->IniFileName())) << "the stored choice stays";
}
