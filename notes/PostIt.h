#pragma once
// The memo: a note window whose client area is a rich text editor, with a hidden
// formatting toolbar, an editable caption, switchable word wrap, clickable web
// addresses and a close button that moves the memo into the wastebasket after a
// question. The memo number is the window's Tag.

#include "controls/ColorPickerButton.h"
#include "controls/RichMemo.h"
#include "framework/ActnList.h"
#include "framework/ComCtrls.h"
#include "framework/ComboBox.h"
#include "framework/ExtCtrls.h"
#include "framework/Menus.h"
#include "notes/Paper.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TImageList;

// The thirteen sizes the size box offers.
const std::vector<std::string>& MemoFontSizes();
// "Default" and every font family installed, sorted without regard to case: one
// list for every memo, read once and again after fonts were added or removed.
std::shared_ptr<const std::vector<std::string>> MemoFontNames();
// The system's fonts changed: the next memo reads the list anew.
void ForgetMemoFontNames();
// The Korean font memos are written in, or the nearest installed font that can
// show Hangul (with a name this code page can hold) when it is missing.
std::string MemoFontName();
// The memo font's character set: Korean under the Korean code page, the system's
// own elsewhere. The editor writes a letter in its font's code page, and under a
// Korean font a Western system's accented letters came back without accents.
BYTE MemoFontCharset();
// What a click on a link hands to the shell, and whether the user is asked first.
// Web, mail and news addresses open at once ("www." ones as http addresses); other
// schemes are asked about; a bare name is never handed over as it is (the shell
// would take "setup.com" for a program) but asked about and opened as a web address.
struct TLinkTarget {
    std::wstring Target;
    bool Ask = false;
};
TLinkTarget LinkTarget(const std::wstring& link);

class TfrmPostIt : public TfrmPaper {
public:
    // `images` is the memo image list of whoever owns the memo windows; the window
    // only draws from it.
    TfrmPostIt(TComponent* owner, TImageList* images);

    TToolBar* tbEdit;
    TPanel* pnlFont;
    TComboBox* cmbFontName;
    TComboBox* cmbFontSize;
    TColorPickerButton* clrFont;
    TRichMemo* edtMemo;
    TPopupMenu* popup;
    TMenuItem* mnEditCaption;
    TPopupMenu* popMemo;
    TMenuItem* mnWordWrap;
    TActionList* ActionList1;
    TAction *actCut, *actCopy, *actPaste, *actSelectAll, *actBold, *actItalic, *actUnderLine, *actStrikeOut,
        *actAlignLeft, *actAlignCenter, *actAlignRight, *actBullets;
    TToolTips* tips;
    // Saves a memo two seconds after its text last changed, active or not: a note
    // resting in the desktop is never active in the platform's sense.
    TTimer* tmrAutoSave;

    std::string MemoFileName;

    int MemoNumber() const { return Tag; }
    void SetMemoNumber(int number) { Tag = number; }
    TImageList* Images() const { return images_; }

    // A new, empty memo (the number already set); writes its position record.
    void InitNewMemo();
    // The stored memo of the number already set; a memo without a file is set up as new.
    void LoadMemo();
    // Writes the content unless the guard is detached or nothing changed since it was
    // read or saved (a blank memo makes no file, an emptied one is saved empty);
    // true when it wrote.
    bool SaveContent();
    // From now on nothing is saved and the window closes without a question.
    void DetachCloseGuard();
    bool CloseGuardAttached() const { return closeGuard_; }
    // Changes whenever the editor's text may have changed (typed, pasted, loaded);
    // never the same for two windows, so a text kept with it is the window's own.
    unsigned long long TextVersion() const { return textVersion_; }
    bool Updating() const { return FUpdating; }

    // Folder sync: whether the editor holds anything the memo file does not have yet.
    bool HasUnsavedEdits();
    // Folder sync: shows content that came from elsewhere, keeping the caret and the
    // scroll where they can be; the memo counts as saved with it.
    void ReloadContent(const std::string& rtf);
    // Folder sync: the memo was removed elsewhere while it held unsaved edits here;
    // it lives on under the given free number, written there at once.
    void Renumber(int number);

    void ToggleFontStyle(TFontStyle style);
    void ApplyAlignment(TParaAlignment alignment);
    void ToggleBullets();
    void ApplyTextColor();

    // How a clicked address is handed to the shell; the shell's "open" unless replaced.
    std::function<bool(const std::wstring& target)> OpenLink;

    std::string GetSectionName() const override;
    std::string SaveSubject() const override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Handlers, public so that the tray controller and tests can run them as the
    // user's actions do.
    void imgCaptionDblClick(int x);
    void mnEditCaptionClick();
    void mnWordWrapClick();
    void popMemoPopup();
    void edtMemoSelectionChange();
    void edtMemoURLClick(const std::wstring& url);
    void cmbFontNameChange();
    void cmbFontSizeChange();
    void btnCloseClick() override;

protected:
    std::string PositionIniPath() const override;
    void FormCreate() override;
    void FormKeyDown(WORD& key, TShiftState shift) override;
    void FormCloseQuery(bool& canClose) override;
    void FormClose(TCloseAction& action) override;
    void ActiveChanged(bool active) override;
    bool SaveAtSaveMoment() override;
    bool QueryEndSession() override;
    void EndSession(bool ending) override;
    void SaveBeforeWindowLoss() override;
    void ReloadAfterVanish() override;

private:
    void CreateActions();
    void CreateToolbar();
    void CreateEditor();
    void CreateMenus();
    void edtMemoMouseDown(TMouseButton button, int x, int y);
    void edtMemoChange();
    void tmrAutoSaveTimer();
    void RunDeleteFlow();
    std::string EditorRtf();
    void LoadEditor(const std::string& rtf);
    bool ContentChangedSinceSave();

    TImageList* images_;
    bool FUpdating = false;
    bool closeGuard_ = true;
    // The text as last loaded or saved.
    std::string savedText_;
    unsigned long long textVersion_ = NewTextVersion();
    static unsigned long long NewTextVersion();
};

// The memo of the number as stored, its window made but not shown; no window is
// left behind when it cannot be loaded (the error goes on to the caller).
TfrmPostIt* OpenStoredMemo(TImageList* images, int number);

// A stored memo brought back (from the wastebasket): its window is made, loaded
// from the store at its recorded place, and brought up floating in front.
TfrmPostIt* OpenRestoredMemo(TImageList* images, int number);

// The content save as the tray controller calls it on every memo window.
inline void SaveContent(TfrmPostIt& memo) { memo.SaveContent(); }
