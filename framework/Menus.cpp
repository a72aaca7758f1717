#include "framework/Menus.h"

#include "framework/ActnList.h"
#include "framework/Controls.h"
#include "framework/ImgList.h"

namespace {

constexpr int kImageGap = 6;

}  // namespace

// The window the platform talks to while a menu is open: it sizes and paints the
// item pictures, so they keep their mask on every highlight colour.
class TMenuOwnerWindow : public TWinControl {
public:
    TMenuOwnerWindow(TComponent* owner, const TPopupMenu& menu) : TWinControl(owner), menu_(menu)
    {
        SetVisible(false);
    }

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_MEASUREITEM) {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (mis->CtlType == ODT_MENU) {
                const int w = menu_.Images ? menu_.Images->Width() : 16;
                const int h = menu_.Images ? menu_.Images->Height() : 16;
                mis->itemWidth = static_cast<UINT>(w + kImageGap);
                mis->itemHeight = static_cast<UINT>(h + kImageGap);
                return TRUE;
            }
        }
        if (msg == WM_DRAWITEM) {
            const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (dis->CtlType == ODT_MENU) {
                DrawPicture(*dis);
                return TRUE;
            }
        }
        return TWinControl::WndProc(msg, wParam, lParam);
    }

protected:
    void CreateParams(TCreateParams& params) override
    {
        TWinControl::CreateParams(params);
        params.Style = WS_POPUP;
        params.WndParent = nullptr;
        params.WinClassName = "TPopupList";
    }

private:
    void DrawPicture(const DRAWITEMSTRUCT& dis) const
    {
        const auto* item = reinterpret_cast<const TMenuItem*>(dis.itemData);
        if (!item || !menu_.Images)
            return;
        const int w = menu_.Images->Width(), h = menu_.Images->Height();
        const int x = dis.rcItem.left + (dis.rcItem.right - dis.rcItem.left - w) / 2;
        const int y = dis.rcItem.top + (dis.rcItem.bottom - dis.rcItem.top - h) / 2;
        if (item->ShownChecked()) {
            // A checked picture sits in a pressed-in frame, as on a tool button.
            RECT frame{x - 2, y - 2, x + w + 2, y + h + 2};
            DrawEdge(dis.hDC, &frame, BDR_SUNKENOUTER, BF_RECT);
        }
        if (item->ShownEnabled())
            menu_.Images->Draw(dis.hDC, x, y, item->ShownImageIndex());
        else
            ImageList_DrawEx(menu_.Images->Handle(), item->ShownImageIndex(), dis.hDC, x, y, 0, 0, CLR_NONE,
                             GetSysColor(COLOR_GRAYTEXT), ILD_BLEND50);
    }

    const TPopupMenu& menu_;
};

std::wstring TMenuItem::ShownCaption() const
{
    if (!Action)
        return Caption;
    const std::wstring keys = ShortCutToText(Action->ShortCut);
    return keys.empty() ? Action->Caption : Action->Caption + L"\t" + keys;
}

int TMenuItem::ShownImageIndex() const { return Action ? Action->ImageIndex : ImageIndex; }
bool TMenuItem::ShownChecked() const { return Action ? Action->Checked() : Checked; }
bool TMenuItem::ShownEnabled() const { return Action ? Action->Enabled() && Enabled : Enabled; }

void TMenuItem::Click()
{
    if (Action)
        Action->Execute();
    else if (OnClick)
        OnClick();
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner) {}

TPopupMenu::~TPopupMenu() = default;

TMenuItem* TPopupMenu::Add(const std::string& name, const std::wstring& caption, std::function<void()> onClick)
{
    auto* item = Create<TMenuItem>();
    item->Name = name;
    item->Caption = caption;
    item->OnClick = std::move(onClick);
    items_.push_back(item);
    return item;
}

TMenuItem* TPopupMenu::Add(const std::string& name, TAction* action)
{
    TMenuItem* item = Add(name, action->Caption);
    item->Action = action;
    return item;
}

TMenuItem* TPopupMenu::AddSeparator() { return Add("", L"-"); }

TMenuItem* TPopupMenu::Find(const std::string& name) const
{
    for (TMenuItem* item : items_)
        if (item->Name == name)
            return item;
    return nullptr;
}

UniqueMenu TPopupMenu::BuildMenu() const
{
    UniqueMenu menu(CreatePopupMenu());
    UINT position = 0;
    for (size_t i = 0; i < items_.size(); ++i) {
        const TMenuItem* item = items_[i];
        if (!item->Visible)
            continue;
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof(mii);
        if (item->IsSeparator()) {
            mii.fMask = MIIM_FTYPE;
            mii.fType = MFT_SEPARATOR;
        } else {
            const std::wstring caption = item->ShownCaption();
            mii.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_DATA | MIIM_BITMAP;
            mii.wID = static_cast<UINT>(i + 1);  // 0 is "nothing chosen"
            mii.dwTypeData = const_cast<wchar_t*>(caption.c_str());
            mii.fState = (item->ShownChecked() ? MFS_CHECKED : 0) | (item->ShownEnabled() ? 0 : MFS_DISABLED);
            mii.dwItemData = reinterpret_cast<ULONG_PTR>(item);
            const bool picture = Images && item->ShownImageIndex() >= 0 && item->ShownImageIndex() < Images->Count();
            mii.hbmpItem = picture ? HBMMENU_CALLBACK : nullptr;
            InsertMenuItemW(menu.get(), position++, TRUE, &mii);
            continue;
        }
        InsertMenuItemW(menu.get(), position++, TRUE, &mii);
    }
    return menu;
}

void TPopupMenu::Popup(int x, int y)
{
    if (shown_)
        return;  // one menu at a time: the platform would refuse the second anyway
    if (OnPopup)
        OnPopup();
    if (!owner_)
        owner_ = std::make_unique<TMenuOwnerWindow>(nullptr, *this);
    owner_->HandleNeeded();
    UniqueMenu menu = BuildMenu();
    shown_ = menu.get();
    const UINT chosen = static_cast<UINT>(TrackPopupMenuEx(
        menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, x, y,
        owner_->Handle(), nullptr));
    shown_ = nullptr;
    if (chosen >= 1 && chosen <= items_.size())
        items_[chosen - 1]->Click();
}
