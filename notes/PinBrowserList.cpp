#include "notes/PinBrowserList.h"

#include "framework/Application.h"
#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "notes/PinBrowser.h"
#include "shell/EProjectInc.h"

std::vector<TfrmPinBrowser*> PinBrowserWindows()
{
    std::vector<TfrmPinBrowser*> pages;
    for (TForm* form : Application.Forms())
        if (auto* page = dynamic_cast<TfrmPinBrowser*>(form))
            pages.push_back(page);
    return pages;
}

std::vector<TfrmPinBrowser*> LoadPinBrowsers()
{
    // Before the first browser of the process exists: the engine reads it once.
    SetBrowserEmulation(ExtractFileName(ModuleFileName()));

    const TIniFile ini(PrjInfo->IniFileName());
    const std::vector<std::string> keys = ini.ReadSection("url");
    std::vector<TfrmPinBrowser*> opened;
    for (size_t i = 0; i < keys.size(); ++i) {
        const std::string address = ini.ReadString("url", keys[i], "");
        if (address.empty())
            continue;
        auto* page = Application.CreateForm<TfrmPinBrowser>();
        page->Tag = static_cast<int>(i + 1);
        page->LoadPosition();
        page->SendToDesktop();
        page->OpenUrl(address);
        page->Show();
        opened.push_back(page);
    }
    return opened;
}

void SavePinBrowserPositions()
{
    for (TfrmPinBrowser* page : PinBrowserWindows())
        page->SavePosition();
}

std::vector<TfrmPinBrowser*> ReloadPinBrowsers()
{
    const std::vector<TfrmPinBrowser*> pages = PinBrowserWindows();
    for (auto it = pages.rbegin(); it != pages.rend(); ++it)
        Application.DestroyForm(*it);
    return LoadPinBrowsers();
}
