#pragma once
// The platform's push button as a control.

#include "framework/Controls.h"

#include <functional>
#include <string>

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);

    std::string Caption() const { return Text(); }
    void SetCaption(const std::string& caption) { SetText(caption); }

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
