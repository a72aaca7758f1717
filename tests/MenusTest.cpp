#include "tests/MemoTestSupport.h"

#include "framework/ActnList.h"
#include "framework/Menus.h"

#include <gtest/gtest.h>

namespace {

std::string ItemText(HMENU menu, UINT position)
{
    char text[128] = {};
    GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return text;
}

UINT ItemState(HMENU menu, UINT position) { return GetMenuState(menu, position, MF_BYPOSITION); }

HBITMAP ItemBitmap(HMENU menu, UINT position)
{
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_BITMAP;
    GetMenuItemInfoA(menu, position, TRUE, &mii);
    return mii.hbmpItem;
}

// Keys for the menu that is about to open, sent from inside its own loop.
std::vector<WORD> pendingKeys;
void CALLBACK PressMenuKeys(HWND, UINT, UINT_PTR id, DWORD) noexcept
{
    HWND menu = FindWindowA("#32768", nullptr);
    if (!menu || !IsWindowVisible(menu))
        return;
    KillTimer(nullptr, id);
    for (WORD key : pendingKeys)
        PostMessageA(menu, WM_KEYDOWN, key, 0);
}

}  // namespace

TEST(Menus, TheEditorMenuShowsItsItemsInOrderWithPicturesShortcutsAndChecks)
{
    Memo m;
    m->actBold->SetChecked(true);
    m->mnWordWrap->Checked = true;
    UniqueMenu menu = m->popMemo->BuildMenu();
    const char* expected[] = {"Bold\tCtrl+B", "Italic\tCtrl+I", "Under Line\tCtrl+U", "Strike Out\tCtrl+S", "-",
                              "Align Left\tCtrl+L", "Align Center\tCtrl+M", "Align Right\tCtrl+R", "-",
                              "Bullets\tCtrl+T", "-", "Cu&t", "&Copy", "&Paste", "-", "Select &All", "-", "Word Wrap"};
    ASSERT_EQ(static_cast<int>(std::size(expected)), GetMenuItemCount(menu.get()));
    for (UINT i = 0; i < std::size(expected); ++i) {
        const bool separator = std::string(expected[i]) == "-";
        EXPECT_EQ(separator, (ItemState(menu.get(), i) & MF_SEPARATOR) != 0) << i;
        if (!separator) {
            EXPECT_EQ(expected[i], ItemText(menu.get(), i)) << i;
        }
        const bool picture = !separator && i != 15 && i != 17;
        EXPECT_EQ(picture, ItemBitmap(menu.get(), i) == HBMMENU_CALLBACK) << i;
    }
    EXPECT_TRUE(ItemState(menu.get(), 0) & MF_CHECKED);
    EXPECT_FALSE(ItemState(menu.get(), 1) & MF_CHECKED);
    EXPECT_TRUE(ItemState(menu.get(), 17) & MF_CHECKED);
}

TEST(Menus, ChoosingAnItemRunsItAfterTheMenuCloses)
{
    TComponent owner(nullptr);
    auto* menu = owner.Create<TPopupMenu>();
    TImageList* images = CreateMemoImages(&owner);
    menu->Images = images;
    auto* actions = owner.Create<TActionList>();
    std::vector<std::string> ran;
    TAction* bold = actions->Add("actBold", L"Bold", miBold, scCtrl | 'B', [&] { ran.push_back("bold"); });
    int popups = 0;
    menu->OnPopup = [&] { ++popups; };
    menu->Add("mnFirst", L"First", [&] { ran.push_back("first"); EXPECT_EQ(nullptr, menu->ShownMenu()); });
    menu->AddSeparator();
    menu->Add("mnHidden", L"Hidden", [&] { ran.push_back("hidden"); })->Visible = false;
    menu->Add("mnBold", bold);

    struct Case {
        std::vector<WORD> keys;
        std::vector<std::string> ran;
    } cases[] = {{{VK_DOWN, VK_RETURN}, {"first"}}, {{VK_DOWN, VK_DOWN, VK_RETURN}, {"bold"}}, {{VK_ESCAPE}, {}}};
    for (const Case& c : cases) {
        ran.clear();
        pendingKeys = c.keys;
        SetTimer(nullptr, 0, 50, PressMenuKeys);
        menu->Popup(200, 200);
        EXPECT_EQ(c.ran, ran);
    }
    EXPECT_EQ(3, popups);
}

TEST(Menus, ShortcutTexts)
{
    EXPECT_EQ(L"Ctrl+B", ShortCutToText(scCtrl | 'B'));
    EXPECT_EQ(L"Shift+Ctrl+F2", ShortCutToText(scShift | scCtrl | VK_F2));
    EXPECT_EQ(L"", ShortCutToText(0));
    TComponent owner(nullptr);
    auto* actions = owner.Create<TActionList>();
    int runs = 0;
    TAction* action = actions->Add("a", L"A", -1, scCtrl | 'T', [&] { ++runs; });
    EXPECT_FALSE(actions->IsShortCut('T', 0));
    EXPECT_FALSE(actions->IsShortCut('T', ssCtrl | ssShift));
    EXPECT_TRUE(actions->IsShortCut('T', ssCtrl | ssLeft));
    action->SetEnabled(false);
    EXPECT_FALSE(actions->IsShortCut('T', ssCtrl));
    EXPECT_EQ(1, runs);
}

TEST(MemoImages, ElevenMaskedPictures)
{
    TComponent owner(nullptr);
    TImageList* images = CreateMemoImages(&owner);
    ASSERT_EQ(11, images->Count());
    EXPECT_EQ(16, images->Width());
    EXPECT_EQ(16, images->Height());
    WindowDC screen(nullptr);
    for (int i = 0; i < images->Count(); ++i) {
        int seeThrough = 0, drawn = 0;
        for (COLORREF ground : {RGB(255, 255, 255), RGB(0, 0, 0)}) {
            OffscreenBitmap cell(screen.get(), 16, 16);
            UniqueBrush brush(CreateSolidBrush(ground));
            RECT all{0, 0, 16, 16};
            FillRect(cell.dc(), &all, brush.get());
            images->Draw(cell.dc(), 0, 0, i);
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    const COLORREF p = GetPixel(cell.dc(), x, y);
                    EXPECT_NE(RGB(255, 0, 255), p) << "the mask colour shows in image " << i;
                    if (ground == RGB(255, 255, 255))
                        drawn += p != ground;
                    else
                        seeThrough += p == ground;
                }
        }
        EXPECT_GT(drawn, 10) << i;
        EXPECT_GT(seeThrough, 10) << i;
    }
}

TEST(Menus, ARightPressInTheEditorOpensTheEditorMenuAndOnTheCaptionTheCaptionMenu)
{
    Memo m;
    m->InitNewMemo();
    m->Show();
    m->edtMemo->SetWordWrap(false);
    m->mnWordWrap->Checked = true;
    int captionMenus = 0;
    m->popup->OnPopup = [&] { ++captionMenus; };
    pendingKeys = {VK_ESCAPE};
    SetTimer(nullptr, 0, 50, PressMenuKeys);
    SendMessageA(m->edtMemo->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 30));
    EXPECT_FALSE(m->mnWordWrap->Checked) << "the menu opened and took the editor's word wrap";
    EXPECT_EQ(0, captionMenus);
    SetTimer(nullptr, 0, 50, PressMenuKeys);
    SendMessageA(m->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(60, 8));  // on the caption strip
    EXPECT_EQ(1, captionMenus);
    UniqueMenu caption = m->popup->BuildMenu();
    ASSERT_EQ(1, GetMenuItemCount(caption.get()));
    EXPECT_EQ("Edit Caption", ItemText(caption.get(), 0));
}

TEST(Menus, TheKoreanHintsReadTheSameInEveryCodePage)
{
    Memo m;
    // The toolbar's windows, and their hints, come when it is first shown; the
    // text the selection gave its boxes meanwhile is kept for them.
    m->cmbFontSize->SetText("14");
    EXPECT_FALSE(m->cmbFontName->HandleAllocated());
    EXPECT_EQ(nullptr, m->tips->Handle());
    EXPECT_TRUE(m->clrFont->Glyph().Empty());
    SendMessageA(m->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 8));  // the strip's icon
    ASSERT_TRUE(m->cmbFontName->HandleAllocated());
    EXPECT_EQ(16, m->clrFont->Glyph().GlyphSize().cx) << "the colour button's capital A";
    EXPECT_EQ(16, m->clrFont->Glyph().GlyphSize().cy);
    EXPECT_EQ(13u, SendMessageA(m->cmbFontSize->Handle(), CB_GETCOUNT, 0, 0));
    EXPECT_EQ("14", m->cmbFontSize->Text());
    EXPECT_EQ(L"\uAE00\uAF34", m->tips->TextOf(m->cmbFontName->Handle()));       // 글꼴
    EXPECT_EQ(L"\uAE00 \uD06C\uAE30", m->tips->TextOf(m->cmbFontSize->Handle()));  // 글 크기
    EXPECT_EQ(L"Text Color", m->tips->TextOf(m->clrFont->Handle()));
    HWND field = GetWindow(m->cmbFontName->Handle(), GW_CHILD);
    ASSERT_NE(nullptr, field);
    EXPECT_EQ(L"\uAE00\uAF34", m->tips->TextOf(field));
    // The memo's font can show Hangul.
    const std::string font = MemoFontName();
    LOGFONTA query{};
    query.lfCharSet = HANGEUL_CHARSET;
    lstrcpynA(query.lfFaceName, font.c_str(), LF_FACESIZE);
    bool found = false;
    WindowDC screen(nullptr);
    EnumFontFamiliesExA(screen.get(), &query,
                        [](const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM data) {
                            *reinterpret_cast<bool*>(data) = true;
                            return 0;
                        },
                        reinterpret_cast<LPARAM>(&found), 0);
    EXPECT_TRUE(found) << font;

    // Sending a memo with a taskbar button to the desktop makes its window again.
    StandInProgman shell;
    SetWindowLongPtrA(m->Handle(), GWL_EXSTYLE, GetWindowLongPtrA(m->Handle(), GWL_EXSTYLE) | WS_EX_APPWINDOW);
    const HWND before = m->cmbFontSize->Handle();
    m->SendToDesktop();
    PumpMessages(50);
    ASSERT_NE(before, m->cmbFontSize->Handle());
    EXPECT_EQ(L"\uAE00 \uD06C\uAE30", m->tips->TextOf(m->cmbFontSize->Handle()));
}
