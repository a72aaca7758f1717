#include "framework/Dialogs.h"

#include "framework/Application.h"
#include "framework/StdCtrls.h"
#include "framework/WorkArea.h"

#include <algorithm>

namespace {

// The font the platform's own dialogs and message boxes use.
void UseMessageFont(TFont& font)
{
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return;
    font.SetName(metrics.lfMessageFont.lfFaceName);
    font.SetHeight(metrics.lfMessageFont.lfHeight);
    font.SetCharset(metrics.lfMessageFont.lfCharSet);
}

SIZE TextSize(const TFont& font, const std::wstring& text)
{
    WindowDC screen(nullptr);
    SelectGuard select(screen.get(), font.Handle());
    SIZE size{};
    GetTextExtentPoint32W(screen.get(), text.empty() ? L"M" : text.c_str(),
                          std::max(1, static_cast<int>(text.size())), &size);
    return size;
}

}  // namespace

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags)
{
    return MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
}

TInputQueryForm::TInputQueryForm(TComponent* owner, const std::wstring& caption, const std::wstring& prompt,
                                 const std::string& value)
    : TForm(owner)
{
    SetBorderStyle(TFormBorderStyle::bsDialog);
    KeyPreview = true;
    UseMessageFont(Font());
    SetCaption(caption);

    // Laid out in dialog units of the message font, as the platform's dialogs are.
    const SIZE m = TextSize(Font(), L"M");
    const int unitX = std::max<int>(1, m.cx * 3 / 4), line = std::max<int>(13, m.cy);
    const int margin = unitX * 2, buttonWidth = std::max(75, unitX * 13), buttonHeight = line + 10;
    const int width = std::max<int>(unitX * 45, TextSize(Font(), prompt).cx + 2 * margin);

    labPrompt = Create<TLabel>();
    labPrompt->SetParent(this);
    labPrompt->SetBounds(margin, margin, width - 2 * margin, line);
    labPrompt->SetCaption(prompt);

    edtValue = Create<TEdit>();
    edtValue->SetText(value);
    edtValue->SetBounds(margin, margin + line + 4, width - 2 * margin, line + 8);
    edtValue->SetParent(this);

    const int buttonsTop = edtValue->Top() + edtValue->Height() + margin + 2;
    btnOK = Create<TButton>();
    btnOK->SetCaption(L"OK");
    btnOK->ModalResult = mrOk;
    btnOK->SetBounds(width - margin - 2 * buttonWidth - 6, buttonsTop, buttonWidth, buttonHeight);
    btnOK->SetParent(this);

    btnCancel = Create<TButton>();
    btnCancel->SetCaption(L"Cancel");
    btnCancel->ModalResult = mrCancel;
    btnCancel->SetBounds(width - margin - buttonWidth, buttonsTop, buttonWidth, buttonHeight);
    btnCancel->SetParent(this);

    SetClientSize(width, buttonsTop + buttonHeight + margin);
}

void TInputQueryForm::FormShow()
{
    SendMessageA(btnOK->Handle(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    edtValue->SetFocus();
    edtValue->SelectAll();
}

void TInputQueryForm::FormKeyDown(WORD& key, TShiftState)
{
    if (key == VK_RETURN) {
        ModalResult = mrOk;
        key = 0;
    } else if (key == VK_ESCAPE) {
        ModalResult = mrCancel;
        key = 0;
    }
}

bool InputQuery(const std::wstring& caption, const std::wstring& prompt, std::string& value)
{
    auto* form = Application.Create<TInputQueryForm>(caption, prompt, value);
    struct Free {
        TInputQueryForm* form;
        ~Free() { Application.DestroyForm(form); }
    } free{form};
    form->HandleNeeded();
    CentreOnMouseMonitor(*form);
    if (form->ShowModal() != mrOk)
        return false;
    value = form->edtValue->Text();
    return true;
}
