#include "tests/MemoTestSupport.h"

#include "framework/Dialogs.h"
#include "framework/StdCtrls.h"

namespace {

DialogAnswerer* current = nullptr;

struct Found {
    HWND dialog = nullptr;
};

BOOL CALLBACK FindDialog(HWND wnd, LPARAM data)
{
    char name[16] = {};
    GetClassNameA(wnd, name, sizeof(name));
    if (IsWindowVisible(wnd) && std::string(name) == "#32770") {
        reinterpret_cast<Found*>(data)->dialog = wnd;
        return FALSE;
    }
    return TRUE;
}

std::string WindowText(HWND wnd)
{
    char text[1024] = {};
    GetWindowTextA(wnd, text, sizeof(text));
    return text;
}

}  // namespace

DialogAnswerer::DialogAnswerer(int answer, std::function<void(TInputQueryForm&)> edit)
    : answer_(answer), edit_(std::move(edit))
{
    current = this;
    timer_ = SetTimer(nullptr, 0, 30, Tick);
}

DialogAnswerer::~DialogAnswerer()
{
    KillTimer(nullptr, timer_);
    current = nullptr;
}

void CALLBACK DialogAnswerer::Tick(HWND, UINT, UINT_PTR, DWORD) noexcept
{
    if (current)
        current->Poll();
}

void DialogAnswerer::Poll()
{
    for (TForm* form : Application.Forms())
        if (auto* input = dynamic_cast<TInputQueryForm*>(form); input && input->Modal() && input->ModalResult == mrNone) {
            last_ = {input->Caption(), input->labPrompt->Text(), 0, false};
            if (edit_)
                edit_(*input);
            input->ModalResult = answer_;
            ++count_;
            KillTimer(nullptr, timer_);
            return;
        }
    Found found;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
    if (!found.dialog)
        return;
    last_.Caption = WindowText(found.dialog);
    last_.Text = WindowText(GetDlgItem(found.dialog, 0xFFFF));
    // The default button is the one drawn as the default; the icon a picture beside the text.
    last_.DefaultButton = 0;
    last_.QuestionIcon = false;
    for (HWND child = GetWindow(found.dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = {};
        GetClassNameA(child, name, sizeof(name));
        const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
        if (lstrcmpiA(name, "Button") == 0 && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            last_.DefaultButton = GetDlgCtrlID(child);
        if (lstrcmpiA(name, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON)
            last_.QuestionIcon = SendMessageA(child, STM_GETICON, 0, 0) == reinterpret_cast<LRESULT>(LoadIcon(nullptr, IDI_QUESTION));
    }
    ++count_;
    KillTimer(nullptr, timer_);
    PostMessageA(found.dialog, WM_COMMAND, MAKEWPARAM(answer_, BN_CLICKED), 0);
}
