#pragma once
// The platform's message box and a one-line input dialog in the look of the
// platform's own dialogs.

#include "framework/Forms.h"
#include "framework/Labels.h"

#include <string>

class TButton;
class TEdit;

// The platform's message box with the given flags; the button chosen (IDOK,
// IDCANCEL, ...). A data text in it is converted with AnsiToWide.
int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags);

// The dialog behind InputQuery: a prompt, one edit box, OK and Cancel.
class TInputQueryForm : public TForm {
public:
    TInputQueryForm(TComponent* owner, const std::wstring& caption, const std::wstring& prompt,
                    const std::string& value);

    TLabel* labPrompt;
    TEdit* edtValue;
    TButton* btnOK;
    TButton* btnCancel;

protected:
    void FormShow() override;
    void FormKeyDown(WORD& key, TShiftState shift) override;
};

// Shows the dialog modally, centred on the screen; on OK, `value` becomes the text
// entered and the answer is true. Cancel, Escape or the close box leave it unchanged.
// The value is a data text.
bool InputQuery(const std::wstring& caption, const std::wstring& prompt, std::string& value);

