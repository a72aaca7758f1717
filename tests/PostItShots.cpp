// Shows a memo with formatted text and its toolbar for the docs' pictures:
//     postit_shots.exe [seconds] colour    the text-colour drop-down open
//     postit_shots.exe [seconds] menu      the editor's pop-up menu open
//     postit_shots.exe [seconds] caption   the caption dialog open
// The pictures were taken with `import -window root` meanwhile.
#include "framework/Application.h"
#include "framework/ImgList.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "notes/MemoImages.h"
#include "notes/PostIt.h"
#include "tests/TestSupport.h"

#include <cstdlib>
#include <cstring>

namespace {

std::string SampleRtf()
{
    const std::string korean = MemoFontName();
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fcharset129 " + korean +
           ";}{\\f1\\fswiss Tahoma;}{\\f2\\froman Times New Roman;}}"
           "{\\colortbl;\\red0\\green0\\blue0;\\red192\\green0\\blue0;\\red0\\green96\\blue192;\\red0\\green128\\blue0;}"
           "\\pard\\qc\\f1\\fs28\\b\\cf3 Weekend plans\\b0\\par"
           "\\pard\\f2\\fs22\\cf1 Pick up the \\cf2\\b cake\\b0\\cf1  before \\i noon\\i0 .\\par"
           "\\f1\\fs18 Call \\ul grandma\\ulnone\\par"
           "\\f1\\fs18 Buy \\cf4 flowers\\cf1\\par"
           "\\f1\\fs18 \\strike old list\\strike0\\par"
           "\\pard\\f0\\fs20 \\u54620?\\u44544? \\u47700?\\u47784? (Korean)\\par"
           "\\f1\\fs18 See https://example.com/party\\par}";
}

int Find(TRichMemo& editor, const char* text)
{
    // The editor is a wide window: its find takes wide text.
    const std::wstring wide = AnsiToWide(text);
    FINDTEXTEXW find{};
    find.chrg = {0, -1};
    find.lpstrText = wide.c_str();
    return static_cast<int>(SendMessageW(editor.Handle(), EM_FINDTEXTEX, FR_DOWN, reinterpret_cast<LPARAM>(&find)));
}

}  // namespace

int main(int argc, char** argv)
{
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 10;
    const std::string mode = argc > 2 ? argv[2] : "colour";
    const bool menu = mode == "menu";
    Application.Initialize();
    Application.ShowMainForm = false;
    Application.CreateForm<TForm>();
    TestProgram program;
    TComponent owner(nullptr);
    TImageList* images = CreateMemoImages(&owner);

    auto* background = Application.CreateForm<TForm>();
    background->SetBorderStyle(TFormBorderStyle::bsNone);
    background->SetColor(0x808000);  // the classic teal desktop
    background->SetBounds(0, 0, 1024, 768);
    background->Show();

    auto* memo = Application.CreateForm<TfrmPostIt>(images);
    memo->Tag = 1;
    memo->InitNewMemo();
    memo->SetCaption("Saturday");
    memo->SetBounds(40, 30, 360, 330);
    memo->tbEdit->SetVisible(true);
    TMemoryStream rtf;
    const std::string sample = SampleRtf();
    rtf.Write(sample.data(), static_cast<long>(sample.size()));
    rtf.Seek(0, TSeekOrigin::soBeginning);
    memo->edtMemo->Lines().LoadFromStream(rtf);
    memo->Show();
    SetForegroundWindow(memo->Handle());
    memo->edtMemo->SetFocus();
    // The three middle lines as a bullet list, then "cake" selected.
    memo->edtMemo->SelectRange(Find(*memo->edtMemo, "Call"), Find(*memo->edtMemo, "old list"), false);
    memo->edtMemo->ParagraphFormat().SetBulletStyle(nsBullet);
    const int cake = Find(*memo->edtMemo, "cake");
    memo->edtMemo->SelectRange(cake, cake + 4, false);
    PumpMessages(300);
    if (menu) {
        SetTimer(nullptr, 0, seconds * 1000, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            if (HWND shown = FindWindowA("#32768", nullptr))
                PostMessageA(shown, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        const POINT p = memo->edtMemo->ClientToScreen({120, 120});
        memo->popMemo->Popup(p.x, p.y);
    } else if (mode == "caption") {
        SetTimer(nullptr, 0, seconds * 1000, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            for (TForm* form : Application.Forms())
                if (form->Modal())
                    form->ModalResult = mrCancel;
        });
        memo->mnEditCaptionClick();
    } else {
        memo->clrFont->SetDroppedDown(true);
        PumpMessages(seconds * 1000);
    }
    memo->DetachCloseGuard();
    Application.DestroyForms();
    return 0;
}
