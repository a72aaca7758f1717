#include "config/AutoStart.h"
#include "config/Configure.h"
#include "framework/Application.h"
#include "framework/IniFiles.h"
#include "framework/Registry.h"
#include "framework/SysUtils.h"
#include "tests/ConfigTestSupport.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(AutoStart, ACommandStartsTheProgramQuotedOrNotInAnyCase)
{
    const std::string path = "C:\\Program Files\\Pinova\\pinova.exe";
    struct Case {
        std::string command;
        bool same;
    };
    const Case cases[] = {
        {path, true},
        {"\"" + path + "\"", true},
        {"\"C:\\PROGRAM FILES\\PINOVA\\PINOVA.EXE\"", true},
        {"  \"" + path + "\" /minimized", true},
        {"\"" + path, true},  // the closing quote lost
        {"C:\\Program.exe", false},
        {"\"C:\\Program Files\\Pinova\\other.exe\"", false},
        {"C:\\Program Files\\Pinova\\pinova.exe.bak", false},
        {"", false},
        {"\"\"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.same, StartsProgram(c.command, path)) << c.command;
    EXPECT_EQ("\"" + path + "\"", AutoStartCommand(path));
}

TEST(HotMod, ModifiersAndStoredBitsConvertBothWays)
{
    struct Case {
        THKModifiers modifiers;
        int bits;
        TShiftState shift;
    };
    const Case cases[] = {
        {0, 0, 0},
        {hkAlt, 1, ssAlt},
        {hkCtrl, 2, ssCtrl},
        {hkShift, 4, ssShift},
        {hkCtrl | hkAlt, 3, ssCtrl | ssAlt},
        {hkAlt | hkShift, 5, ssAlt | ssShift},
        {hkCtrl | hkShift, 6, ssCtrl | ssShift},
        {hkCtrl | hkAlt | hkShift, 7, ssCtrl | ssAlt | ssShift},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        EXPECT_EQ(c.bits, HotModFromModifiers(c.modifiers));
        EXPECT_EQ(c.bits, HotModFromModifiers(c.modifiers | hkExt)) << "the extended-key flag is dropped";
        EXPECT_EQ(c.shift, ShiftStateFromHotMod(c.bits));
        EXPECT_EQ(c.shift, ShiftStateFromHotMod(c.bits | 8 | 16 | 0x4000)) << "other bits are ignored";
        EXPECT_EQ(c.modifiers, HKModifiersFromShiftState(c.shift));
    }
}

TEST(Registry, ReadsWritesAndDeletesAndSaysWhichValueItCouldNotSet)
{
    const std::string key = Format("Software\\Pinova Tests\\%lu", GetCurrentProcessId());
    {
        TRegistry reg;
        EXPECT_FALSE(reg.OpenKey(key, false)) << "not there yet";
        ASSERT_TRUE(reg.OpenKey(key, true));
        EXPECT_FALSE(reg.ValueExists("Name"));
        reg.WriteString("Name", "\"C:\\A B\\pinova.exe\"");
        EXPECT_TRUE(reg.ValueExists("Name"));
        EXPECT_EQ("\"C:\\A B\\pinova.exe\"", reg.ReadString("Name"));
        const DWORD number = 7;
        RegSetValueExA(reg.CurrentKey(), "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
        EXPECT_EQ("", reg.ReadString("Number")) << "no string";
        const std::string big(5000, 'b');
        reg.WriteString("Big", big);
        EXPECT_EQ(big, reg.ReadString("Big"));
        EXPECT_TRUE(reg.DeleteValue("Name"));
        EXPECT_FALSE(reg.DeleteValue("Name"));
        EXPECT_FALSE(reg.ValueExists("Name"));
    }
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKeyReadOnly(key));
        try {
            reg.WriteString("Pinova", "x");
            ADD_FAILURE() << "a read-only key took a value";
        } catch (const ERegistryException& e) {
            EXPECT_STREQ("Failed to set data for 'Pinova'", e.what());
        }
        reg.CloseKey();
        EXPECT_THROW(reg.WriteString("Pinova", "x"), ERegistryException) << "no key open";
    }
    HKEY parent = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Pinova Tests", 0, KEY_ALL_ACCESS, &parent));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(parent, Format("%lu", GetCurrentProcessId()).c_str()));
    RegCloseKey(parent);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Pinova Tests");
}

const char kHeldEvent[] = "Pinova test: Ctrl+Alt+K held";
const char kReleaseEvent[] = "Pinova test: let Ctrl+Alt+K go";

// Run by the test below in a second process; does nothing on its own.
TEST(HotKeyHolder, DISABLED_HoldsCtrlAltK)
{
    UniqueKernelHandle held(OpenEventA(EVENT_MODIFY_STATE, FALSE, kHeldEvent));
    UniqueKernelHandle release(OpenEventA(SYNCHRONIZE, FALSE, kReleaseEvent));
    ASSERT_TRUE(held && release);
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'K'));
    SetEvent(held.get());
    WaitForSingleObject(release.get(), 30000);
    UnregisterHotKey(nullptr, 1);
}

TEST(HotKeyHolder, ACombinationAnotherProgramHoldsIsShownAndSavedAsStored)
{
    UniqueKernelHandle held(CreateEventA(nullptr, TRUE, FALSE, kHeldEvent));
    UniqueKernelHandle release(CreateEventA(nullptr, TRUE, FALSE, kReleaseEvent));
    UniqueKernelHandle process = RunTestInSecondProcess("HotKeyHolder.DISABLED_HoldsCtrlAltK");
    ASSERT_TRUE(process);
    HANDLE waits[] = {held.get(), process.get()};
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, waits, FALSE, 30000)) << "the holder did not start";
    EXPECT_FALSE(RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_ALT, 'K')) << "the combination is taken";

    {
        RunValuesGuard runValues;
        TestProgram program;
        WriteWholeFile(program.Info().IniFileName(), "[hkNewMemo]\r\nhotKey=75\r\nhotMod=3\r\n[hkShowAll]\r\nhotKey=75\r\nhotMod=3\r\n");
        auto* form = Application.CreateForm<TfrmConfigure>();
        form->Show();
        EXPECT_EQ('K', form->hkNewMemo->Key());
        EXPECT_EQ(hkCtrl | hkAlt, form->hkNewMemo->Modifiers());
        EXPECT_EQ('K', form->hkShowHide->Key()) << "both fields may hold the same";
        form->btnOK->Click();
        EXPECT_EQ(mrOk, form->ModalResult);
        Application.DestroyForm(form);
        const TIniFile ini(program.Info().IniFileName());
        for (const char* section : {"hkNewMemo", "hkShowAll"}) {
            EXPECT_EQ(75, ini.ReadInteger(section, "hotKey", 0)) << section;
            EXPECT_EQ(3, ini.ReadInteger(section, "hotMod", 0)) << section;
        }
    }
    SetEvent(release.get());
    WaitForSingleObject(process.get(), 30000);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.get(), &exitCode);
    EXPECT_EQ(0u, exitCode) << "the holder's own checks";
}

} // namespace
