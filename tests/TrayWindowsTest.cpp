// The tray commands that open the wastebasket and the configuration window, and the
// pinned pages they keep.

#include "config/Configure.h"
#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "notes/PinBrowser.h"
#include "notes/PinBrowserList.h"
#include "tests/MemoTestSupport.h"
#include "tests/TraySupport.h"
#include "wastebasket/basket.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace {

// Runs steps one at a time from inside whatever message loop is running (a modal
// window's), one every 50 ms.
class Steps {
public:
    explicit Steps(std::deque<std::function<void()>> steps) : steps_(std::move(steps))
    {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 50, Tick);
    }
    ~Steps()
    {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    Steps(const Steps&) = delete;
    Steps& operator=(const Steps&) = delete;
    bool Done() const { return steps_.empty(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) noexcept
    {
        if (!current_ || current_->steps_.empty() || current_->running_)
            return;
        std::function<void()> step = std::move(current_->steps_.front());
        current_->steps_.pop_front();
        current_->running_ = true;
        step();  // may run a nested loop of its own
        if (current_)
            current_->running_ = false;
    }
    static inline Steps* current_ = nullptr;
    std::deque<std::function<void()>> steps_;
    UINT_PTR timer_ = 0;
    bool running_ = false;
};

template <typename Form>
std::vector<Form*> FormsOf()
{
    std::vector<Form*> found;
    for (TForm* form : Application.Forms())
        if (auto* f = dynamic_cast<Form*>(form))
            found.push_back(f);
    return found;
}

TfrmConfigure* OpenConfiguration()
{
    const auto open = FormsOf<TfrmConfigure>();
    return open.empty() ? nullptr : open.front();
}

std::vector<std::string> PageUrls()
{
    std::vector<std::string> urls;
    for (TfrmPinBrowser* page : PinBrowserWindows())
        urls.push_back(std::to_string(page->Tag) + " " + page->Url);
    return urls;
}

} // namespace

TEST(TrayWindows, OneWastebasketAtATimeWhileTheMenuAndHotKeysKeepWorking)
{
    Tray tray;
    TfrmBasket* seen = nullptr;
    Steps steps({
        [&] {
            const auto baskets = FormsOf<TfrmBasket>();
            ASSERT_EQ(1u, baskets.size());
            seen = baskets[0];
            EXPECT_EQ(seen, tray->frmBasket);
            EXPECT_TRUE(seen->Modal());
            EXPECT_TRUE(IsWindowVisible(seen->Handle()));
        },
        [&] {
            SetForegroundWindow(tray.Handle());
            tray->mnBasket->Click();  // chosen again: the open one comes to the front
            EXPECT_EQ(1u, FormsOf<TfrmBasket>().size());
            EXPECT_EQ(seen->Handle(), GetForegroundWindow());
        },
        [&] {
            tray.HotKey(HOTKEY_NEWMEMO);
            EXPECT_EQ(1u, tray.Memos().size()) << "hot keys keep working";
            seenMenu = {};
            SetTimer(nullptr, 0, 20, LookAtMenuAndClose);
            tray.Notify(WM_CONTEXTMENU);
            EXPECT_TRUE(seenMenu.shown) << "and so does the tray menu";
        },
        [&] { seen->Close(); },
    });
    tray->mnBasket->Click();
    EXPECT_TRUE(steps.Done());
    EXPECT_TRUE(FormsOf<TfrmBasket>().empty()) << "destroyed when it closed";
    EXPECT_EQ(nullptr, tray->frmBasket);
    EXPECT_EQ(1u, tray.Memos().size());
}

TEST(TrayWindows, AMemoRestoredFromTheWastebasketOpensFloatingInFront)
{
    Tray tray;
    CreateDirectoryA(PrjInfo->BasketPath.c_str(), nullptr);
    WriteWholeFile(PrjInfo->BasketPath + "2026-01-02 10_00_00 Shopping.txt", "{\\rtf1\\ansi Milk and eggs\\par}");
    Steps steps({
        [&] {
            TfrmBasket* basket = tray->frmBasket;
            ASSERT_NE(nullptr, basket);
            basket->lstMemo->SetChecked(0, true);
            basket->RestoreCheckedMemos();
        },
        [&] { tray->frmBasket->Close(); },
    });
    tray->mnBasket->Click();
    ASSERT_TRUE(steps.Done());
    TfrmPostIt* memo = tray.Memo(1);
    ASSERT_NE(nullptr, memo);
    EXPECT_EQ("Shopping", memo->Caption());
    EXPECT_NE(std::string::npos, memo->edtMemo->Text().find("Milk and eggs"));
    EXPECT_EQ(pmFloating, memo->GetPaperMode());
    EXPECT_TRUE(IsWindowVisible(memo->Handle()));
    const RECT placed = memo->BoundsRect();
    const RECT stored = TfrmBasket::RestorePlace(0);
    EXPECT_EQ(stored.left, placed.left) << "where the wastebasket put its record";
    EXPECT_EQ(stored.top, placed.top);
}

TEST(TrayWindows, HotKeysAreFreeWhileTheConfigurationIsOpenAndTakenAgainAfterOkAndCancel)
{
    for (const bool ok : {false, true}) {
        Tray tray;
        Steps steps({
            [&] {
                ASSERT_NE(nullptr, OpenConfiguration());
                EXPECT_TRUE(OpenConfiguration()->Modal());
                EXPECT_TRUE(HotKeyIsFree(MOD_CONTROL | MOD_ALT, 'N')) << "the fields can take them";
                EXPECT_TRUE(HotKeyIsFree(MOD_CONTROL | MOD_ALT, 'Z'));
            },
            [&] {
                if (ok)
                    OpenConfiguration()->btnOKClick();
                else
                    OpenConfiguration()->Close();
            },
        });
        tray->mnConfiguration->Click();
        EXPECT_TRUE(steps.Done());
        EXPECT_EQ(nullptr, OpenConfiguration()) << "destroyed";
        EXPECT_TRUE(Reachable(tray)) << (ok ? "OK" : "cancel");
        EXPECT_EQ(ok, FileExists(PrjInfo->IniFileName())) << "only OK writes the settings";
    }
}

TEST(TrayWindows, AfterOkAHotKeyAnotherProgramTookIsNamedInAMessageBox)
{
    Tray tray;
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    Steps steps({
        [&] { EXPECT_TRUE(RegisterHotKey(other, 9, MOD_CONTROL | MOD_ALT, 'N')); },
        [&] { OpenConfiguration()->btnOKClick(); },
    });
    DialogAnswerer answer(IDOK);
    tray->mnConfiguration->Click();
    EXPECT_EQ(1, answer.Count());
    EXPECT_EQ("The hot key Ctrl+Alt+N is used by another program.", answer.Last().Text);
    EXPECT_FALSE(HotKeyIsFree(MOD_CONTROL | MOD_ALT, 'Z')) << "the other one is the tray's again";
    UnregisterHotKey(other, 9);
    DestroyWindow(other);

    // Cancel reports nothing, even then.
    HWND again = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    Steps cancel({
        [&] { EXPECT_TRUE(RegisterHotKey(again, 9, MOD_CONTROL | MOD_ALT, 'N')); },
        [&] { OpenConfiguration()->Close(); },
    });
    DialogAnswerer none(IDOK);
    tray->mnConfiguration->Click();
    PumpMessages(200);
    EXPECT_EQ(0, none.Count());
    UnregisterHotKey(again, 9);
    DestroyWindow(again);
}

TEST(TrayWindows, AfterOkACombinationThatTypesOnThisKeyboardIsNamedAndStoredAsChosen)
{
    const StandInPolishLayout polishKeyboard;
    Tray tray;
    Steps steps({[&] { OpenConfiguration()->btnOKClick(); }});
    DialogAnswerer answer(IDOK);
    tray->mnConfiguration->Click();
    ASSERT_EQ(1, answer.Count());
    EXPECT_EQ("The hot key Ctrl+Alt+N types a character on this keyboard; it was left free.\n"
              "The hot key Ctrl+Alt+Z types a character on this keyboard; it was left free.",
              answer.Last().Text);
    EXPECT_TRUE(HotKeyIsFree(MOD_CONTROL | MOD_ALT, 'Z'));
    const TIniFile ini(PrjInfo->IniFileName());
    EXPECT_EQ(90, ini.ReadInteger("hkShowAll", "hotKey", 0)) << "the choice is the user's";
    EXPECT_EQ(3, ini.ReadInteger("hkShowAll", "hotMod", 0));
}

TEST(TrayWindows, PinnedPagesOpenAtStartAreRebuiltAfterOkAndKeepTheirPlacesOnClose)
{
    Tray tray("", "[url]\n1=http://127.0.0.1/one\n2=\n3=http://127.0.0.1/three\n");
    EXPECT_EQ((std::vector<std::string>{"1 http://127.0.0.1/one", "3 http://127.0.0.1/three"}), PageUrls());
    for (TfrmPinBrowser* page : PinBrowserWindows())
        EXPECT_EQ(pmDesktop, page->GetPaperMode());

    // The first address goes: the other one is page 1 now.
    Steps steps({
        [&] {
            TfrmConfigure* configure = OpenConfiguration();
            configure->grdUrls->SetCells(1, 1, "");
            configure->btnOKClick();
        },
    });
    tray->mnConfiguration->Click();
    EXPECT_EQ((std::vector<std::string>{"1 http://127.0.0.1/three"}), PageUrls());

    PinBrowserWindows()[0]->SetBounds(123, 234, 345, 256);
    tray->mnCloseClick();
    const TIniFile positions(PrjInfo->PinBrowserIniFileName());
    EXPECT_EQ(123, positions.ReadInteger("1", "Left", 0));
    EXPECT_EQ(256, positions.ReadInteger("1", "Height", 0));
}
