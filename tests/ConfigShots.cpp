// Shows the configuration window with addresses in its grid and a cell being
// edited, for the picture in docs/screenshots/:   config_shots.exe [seconds]
// The picture was taken with `import -window root` meanwhile.
#include "config/Configure.h"
#include "framework/Application.h"
#include "framework/IniFiles.h"
#include "tests/TestSupport.h"

#include <cstdlib>

int main(int argc, char** argv)
{
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 10;
    Application.Initialize();
    Application.ShowMainForm = false;
    Application.CreateForm<TForm>();
    TestProgram program;
    TIniFile ini(program.Info().IniFileName());
    ini.WriteString("url", "1", "https://news.example.com/today");
    ini.WriteString("url", "2", "https://weather.example.org/seoul");
    ini.WriteString("url", "4", "https://calendar.example.net/week");
    ini.WriteInteger("hkShowAll", "hotMod", 6);

    auto* form = Application.CreateForm<TfrmConfigure>();
    form->Show();
    // Into the fourth row as a user gets there: a click on it.
    const RECT cell = form->grdUrls->CellRect(1, 4);
    SendMessageA(form->grdUrls->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell.left + 30, cell.top + 5));
    SendMessageA(form->grdUrls->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(cell.left + 30, cell.top + 5));
    for (char c : std::string("https://mail.exa"))
        SendMessageA(form->grdUrls->InplaceEditor()->Handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
    PumpMessages(seconds * 1000);
    Application.DestroyForms();
    return 0;
}
