#pragma once
// Top-level windows: forms, shown plainly or modally, closed through a close query.

#include "framework/Controls.h"

enum TModalResult : int {
    mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
    mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO
};

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    // Makes the window, then runs FormCreate. The application's CreateForm calls it.
    void Initialize();

    void Show();
    // Shows the form without taking the activation from the window that has it.
    void ShowInactive();
    void Hide() { SetVisible(false); }
    // Shows the form with every other window of the program disabled until its
    // ModalResult is set; returns that result.
    int ShowModal();
    bool Modal() const { return modal_; }
    // Asks FormCloseQuery, then FormClose decides: hide (the default), free or nothing.
    // Closing the main form ends the program. A modal form just gets mrCancel.
    void Close();
    bool CloseQuery();
    // Frees the form on the next turn of the message loop, never inside its own message.
    void Release();
    // Makes the window again, as it was, after someone else destroyed it.
    void RestoreLostWindow();
    // Moves the focus to the next (or previous) visible, enabled tab stop after the
    // one that holds it, in the order the controls were put on the form; false
    // when there is none.
    bool SelectNext(bool forward);

    // A note's caption is a data text; the other windows show the program's own.
    std::string Caption() const { return Text(); }
    void SetCaption(const std::string& caption) { SetText(caption); }
    void SetCaption(const std::wstring& caption) { SetWideText(caption); }

    int ModalResult = mrNone;
    bool KeyPreview = false;
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);

    // Layered window: whole-window opacity and a see-through key colour.
    bool AlphaBlend() const { return alphaBlend_; }
    void SetAlphaBlend(bool on);
    BYTE AlphaBlendValue() const { return alphaBlendValue_; }
    void SetAlphaBlendValue(BYTE value);
    bool TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(bool on);
    TColor TransparentColorValue() const { return transparentColorValue_; }
    void SetTransparentColorValue(TColor color);

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void DoKeyDown(WORD& key, TShiftState shift) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

    virtual void FormCreate() {}
    virtual void FormShow() {}
    virtual void FormCloseQuery(bool& canClose) { (void)canClose; }
    virtual void FormClose(TCloseAction& action) { (void)action; }
    virtual void FormActivate() {}
    virtual void FormDeactivate() {}
    virtual void FormKeyDown(WORD& key, TShiftState shift) { (void)key; (void)shift; }
    virtual void FormResize() {}
    void Resize() override;
    // The window comes back on the next turn of the loop, once the platform has
    // finished destroying it.
    void WindowLost() override;
    // After RestoreLostWindow has made the window again.
    virtual void WindowRestored() {}

private:
    void UpdateLayeredAttributes();
    void KeepFocusedControl();
    void FocusControlOnActivation();

    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    bool modal_ = false;
    bool alphaBlend_ = false;
    BYTE alphaBlendValue_ = 255;
    bool transparentColor_ = false;
    TColor transparentColorValue_ = 0;
    HWND focusedControl_ = nullptr;  // where the keyboard was when the form was left
};
