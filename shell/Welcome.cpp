#include "shell/Welcome.h"

#include "notes/MemoStore.h"
#include "notes/PostIt.h"
#include "shell/EProjectInc.h"

const wchar_t kWelcomeBalloon[] = L"Pinova is here. Right-click its icon for the menu; Windows may hide it under the ^ arrow.";

namespace {

constexpr char kWelcomeCaption[] = "Welcome to Pinova";

std::string NameOf(const std::vector<THotKeySetting>& hotKeys, int id)
{
    for (const THotKeySetting& hotKey : hotKeys)
        if (hotKey.Id == id && hotKey.Key != 0 && hotKey.Key <= 255)
            return HotKeyName(hotKey.Key, hotKey.Modifiers);
    return "(none)";
}

} // namespace

std::string WelcomeMemoText(const std::vector<THotKeySetting>& hotKeys, const std::vector<TRefusedHotKey>& refused,
                            const std::string& folder)
{
    std::string text = "Pinova keeps sticky notes on your desktop.\r\n\r\n";
    text += "Hot keys: " + NameOf(hotKeys, HOTKEY_NEWMEMO) + " makes a new memo, " +
            NameOf(hotKeys, HOTKEY_SHOWHIDE) + " shows or hides all notes.\r\n";
    if (!refused.empty()) {
        std::string why = HotKeyFailureText(refused);
        for (size_t at = 0; (at = why.find('\n', at)) != std::string::npos; at += 2)
            why.replace(at, 1, "\r\n");
        text += why + "\r\nChoose others under Configuration in the icon's menu.\r\n";
    }
    text += "The Pinova icon is in the notification area, at the right end of the taskbar "
            "(Windows may keep it under the ^ arrow: drag it onto the taskbar to keep it in sight). "
            "Right-click it for the menu: New Memo, Show All, Hide All, Wastebasket, Configuration, Close.\r\n";
    text += "Escape sends a memo to the desktop. Memos save themselves, in this folder:\r\n" + folder + "\r\n\r\n";
    text += "Done with this memo? Delete it with its close button, like any memo: it goes to the wastebasket.";
    return text;
}

void FillWelcomeMemo(TfrmPostIt& memo, const std::vector<TRefusedHotKey>& refused)
{
    memo.SetCaption(kWelcomeCaption);
    WriteCaption(memo.MemoNumber(), kWelcomeCaption);
    memo.edtMemo->SetText(WelcomeMemoText(ReadHotKeys(PrjInfo->IniFileName()), refused, PrjInfo->ProgramPath));
    memo.SaveContent();
}
