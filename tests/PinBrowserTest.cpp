#include "notes/PinBrowser.h"
#include "notes/PinBrowserList.h"
#include "framework/Application.h"
#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

std::string Location(TfrmPinBrowser* page)
{
    BSTR url = nullptr;
    if (FAILED(page->Browser->DefaultInterface()->get_LocationURL(&url)) || !url)
        return "(none)";
    const std::string text = WideToAnsi(std::wstring(url, SysStringLen(url)));
    SysFreeString(url);
    return text;
}

// A program folder with a settings file, and no page window left behind.
struct Pages {
    TestProgram program;
    explicit Pages(const std::string& settings = "")
    {
        if (!settings.empty())
            WriteWholeFile(PrjInfo->IniFileName(), settings);
    }
    ~Pages()
    {
        for (TfrmPinBrowser* page : PinBrowserWindows())
            Application.DestroyForm(page);
    }
    std::string Positions() const { return ReadWholeFile(PrjInfo->PinBrowserIniFileName()); }
};

// What a user sees of the open pages: number, address, shown.
std::vector<std::string> Described(const std::vector<TfrmPinBrowser*>& pages)
{
    std::vector<std::string> described;
    for (TfrmPinBrowser* page : pages)
        described.push_back(Format("%d %s %s", page->Tag, page->Url.c_str(), page->Visible() ? "shown" : "hidden"));
    return described;
}

RECT StoredPlace(int page)
{
    const TIniFile ini(PrjInfo->PinBrowserIniFileName());
    const std::string section = std::to_string(page);
    const int left = ini.ReadInteger(section, "Left", 0), top = ini.ReadInteger(section, "Top", 0);
    return {left, top, left + ini.ReadInteger(section, "Width", 0), top + ini.ReadInteger(section, "Height", 0)};
}

const char kEmulationKey[] = "Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";

} // namespace

TEST(PinBrowser, ANewPageWindow)
{
    Pages pages;
    auto* page = Application.CreateForm<TfrmPinBrowser>();
    page->Tag = 4;
    EXPECT_EQ("", page->Caption());
    EXPECT_EQ("BMP_DARK", page->SkinName());
    EXPECT_EQ(500u, page->tmrSave->Interval());
    EXPECT_EQ("4", page->GetSectionName());
    EXPECT_EQ(0x44080u, page->Browser->HostFlags());
    EXPECT_EQ(0x70u, page->Browser->DownloadFlags());
    bool go = false;
    ASSERT_TRUE(page->Browser->OnPageScriptError);
    page->Browser->OnPageScriptError(page->Browser.get(), L"Error", go);
    EXPECT_TRUE(go) << "scripts keep running";

    // No stored position: the design place, with the frame's client size.
    page->LoadPosition();
    EXPECT_EQ(650, page->Left());
    EXPECT_EQ(264, page->Top());
    EXPECT_EQ(349, page->ClientWidth());
    EXPECT_EQ(289, page->ClientHeight());

    // Its record goes to the pages' own position file, under its number.
    page->SetBounds(40, 50, 360, 300);
    page->SavePosition();
    EXPECT_EQ(PrjInfo->ProgramPath + "zkPinBrowser.ini", PrjInfo->PinBrowserIniFileName());
    EXPECT_EQ("[4]\r\nLeft=40\r\nTop=50\r\nWidth=360\r\nHeight=300\r\n", pages.Positions());
    EXPECT_FALSE(FileExists(PrjInfo->PostItIniFileName()));
    WriteWholeFile(PrjInfo->PinBrowserIniFileName(), "[4]\r\nLeft=70\r\nTop=80\r\n");
    page->LoadPosition();
    EXPECT_EQ("70,80,370,280", RectText(page->BoundsRect())) << "missing keys take the paper's defaults";
}

TEST(PinBrowser, ClosingHidesThePageWithABlankPageAndShowAllLeavesItHidden)
{
    Pages pages;
    auto* page = Application.CreateForm<TfrmPinBrowser>();
    page->Tag = 2;
    page->SendToDesktop();
    page->OpenUrl("http://127.0.0.1/pinned");
    page->Show();
    page->SetBounds(100, 110, 320, 240);
    SendMessageA(page->Handle(), WM_CLOSE, 0, 0);
    PumpMessages();

    EXPECT_FALSE(IsWindowVisible(page->Handle()));
    EXPECT_EQ(1u, PinBrowserWindows().size()) << "hidden, not destroyed";
    EXPECT_EQ("about:blank", Location(page));
    EXPECT_EQ("http://127.0.0.1/pinned", page->Url);
    EXPECT_EQ(2, page->Tag);
    EXPECT_EQ("[2]\r\nLeft=100\r\nTop=110\r\nWidth=320\r\nHeight=240\r\n", pages.Positions());

    // "Show All" floats every paper resting on the desktop; a closed page stays closed.
    for (TForm* form : Application.Forms())
        if (auto* paper = dynamic_cast<TfrmPaper*>(form); paper && paper->GetPaperMode() == pmDesktop)
            paper->BringFloating();
    PumpMessages();
    EXPECT_FALSE(IsWindowVisible(page->Handle()));
}

TEST(PinBrowserList, OnePagePerAddressNumberedByTheKeysPosition)
{
    struct Case {
        const char* settings;
        std::vector<std::string> opened;
    } cases[] = {
        {"", {}},
        {"[url]\r\n", {}},
        {"[url]\r\n1=\r\n2=\r\n", {}},
        {"[url]\r\n1=http://127.0.0.1/a/\r\n2=\r\n3=http://127.0.0.1/c/\r\n",
         {"1 http://127.0.0.1/a/ shown", "3 http://127.0.0.1/c/ shown"}},
        {"[url]\r\n1=http://127.0.0.1/a/\r\n2=http://127.0.0.1/b/\r\n5=http://127.0.0.1/e/\r\n",
         {"1 http://127.0.0.1/a/ shown", "2 http://127.0.0.1/b/ shown", "3 http://127.0.0.1/e/ shown"}},
        {"[PROGRAM]\r\n1=http://not.a.page/\r\n[url]\r\n7=http://127.0.0.1/g/\r\n", {"1 http://127.0.0.1/g/ shown"}},
    };
    const std::string program = ExtractFileName(ModuleFileName());
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kEmulationKey, program.c_str());
    for (const Case& c : cases) {
        StandInProgman shell;
        Pages pages(c.settings);
        const std::vector<TfrmPinBrowser*> opened = LoadPinBrowsers();
        EXPECT_EQ(c.opened, Described(opened)) << c.settings;
        EXPECT_EQ(opened, PinBrowserWindows());
        for (TfrmPinBrowser* page : opened) {
            EXPECT_EQ(pmDesktop, page->GetPaperMode());
            EXPECT_EQ(shell.icons, GetAncestor(page->Handle(), GA_PARENT));
            EXPECT_EQ(page->Url, Location(page)) << "the control was sent there";
        }
    }
    // Asked for before the first page opened.
    DWORD mode = 0, size = sizeof(mode);
    RegGetValueA(HKEY_CURRENT_USER, kEmulationKey, program.c_str(), RRF_RT_REG_DWORD, nullptr, &mode, &size);
    EXPECT_EQ(11001u, mode);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kEmulationKey, program.c_str());
}

TEST(PinBrowserList, AfterOkThePagesThatMovedUpTakeTheirPredecessorsPlaces)
{
    Pages pages("[url]\r\n1=http://127.0.0.1/a/\r\n2=http://127.0.0.1/b/\r\n3=http://127.0.0.1/c/\r\n");
    const auto opened = LoadPinBrowsers();
    ASSERT_EQ(3u, opened.size());
    for (int i = 0; i < 3; ++i)
        opened[i]->SetBounds(20 + 300 * i, 40 + 10 * i, 280 + i, 220 + i);
    // "Close" saves every page, closed ones too.
    opened[2]->Close();
    opened[2]->SetBounds(700, 70, 250, 200);
    SavePinBrowserPositions();
    const std::string stored = pages.Positions();
    EXPECT_EQ(RectText({20, 40, 300, 260}), RectText(StoredPlace(1)));
    EXPECT_EQ(RectText({700, 70, 950, 270}), RectText(StoredPlace(3)));
    // Moved after the last save: the rebuild must not write it.
    opened[0]->SetBounds(600, 600, 200, 200);

    // The configuration window removed the first address and wrote the rest.
    WriteWholeFile(PrjInfo->IniFileName(), "[url]\r\n1=http://127.0.0.1/b/\r\n2=http://127.0.0.1/c/\r\n");
    const auto reopened = ReloadPinBrowsers();
    EXPECT_EQ((std::vector<std::string>{"1 http://127.0.0.1/b/ shown", "2 http://127.0.0.1/c/ shown"}),
              Described(reopened));
    EXPECT_EQ(reopened, PinBrowserWindows()) << "every old window is gone, the closed one too";
    ASSERT_EQ(2u, reopened.size());
    EXPECT_EQ("20,40,300,260", RectText(reopened[0]->BoundsRect())) << "page 1's stored place";
    EXPECT_EQ("320,50,601,271", RectText(reopened[1]->BoundsRect())) << "page 2's stored place";
    EXPECT_EQ(stored, pages.Positions()) << "nothing saved while the old windows went";

    // A closed page is back after the next rebuild as well.
    reopened[1]->Close();
    EXPECT_EQ((std::vector<std::string>{"1 http://127.0.0.1/b/ shown", "2 http://127.0.0.1/c/ shown"}),
              Described(ReloadPinBrowsers()));
}
