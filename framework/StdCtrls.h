#pragma once
// The platform's push button as a control.

#include "framework/Controls.h"

#include <functional>
#include <string>

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);

    std::wstring Caption() const { return WideText(); }
    void SetCaption(const std::wstring& caption) { SetWideText(caption); }

    // Read when the window is made.
    bool TabStop = true;
    // Copied to the form's ModalResult on a click, which ends a modal form.
    int ModalResult = 0;

    // What a click does: the form's ModalResult, then OnClick.
    virtual void Click();

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;

protected:
    void CreateParams(TCreateParams& params) override;
    bool HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// The platform's single-line edit box.
class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);

    // Read when the window is made.
    bool TabStop = true;
    bool ReadOnly = false;

    void SelectAll();
    // After every change of the text, by the user or by SetText.
    std::function<void()> OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    bool HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// The platform's two-state check box.
class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* owner);

    std::wstring Caption() const { return WideText(); }
    void SetCaption(const std::wstring& caption) { SetWideText(caption); }
    // Read when the window is made.
    bool TabStop = true;

    bool Checked() const;
    // Changing the state runs OnClick, as a click of the user does.
    void SetChecked(bool checked);
    std::function<void()> OnClick;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void KeepState() override;
    bool HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool checked_ = false;
};
