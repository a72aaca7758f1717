#include "shell/EProjectInc.h"

#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "framework/SystemLibraries.h"
#include "shell/funcs.h"

#include <vector>

TzkPrjInfo* PrjInfo = nullptr;
const char kHomePageAddress[] = "https://pinova.app/";

TMappedHwnd::TMappedHwnd(const std::string& name)
{
    MapHandle.reset(OpenFileMappingA(FILE_MAP_WRITE, TRUE, name.c_str()));
    if (MapHandle) {
        View.reset(MapViewOfFile(MapHandle.get(), FILE_MAP_WRITE, 0, 0, 4));
        if (View)
            return;
        MapHandle.reset();
    }
    MapHandle.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4, name.c_str()));
    if (!MapHandle)
        return;
    View.reset(MapViewOfFile(MapHandle.get(), FILE_MAP_WRITE, 0, 0, 4));
    if (!View)
        MapHandle.reset();
}

std::uint32_t TMappedHwnd::Read() const
{
    return View ? *static_cast<volatile const std::uint32_t*>(View.get()) : 0;
}

void TMappedHwnd::Write(std::uint32_t value)
{
    if (View)
        *static_cast<volatile std::uint32_t*>(View.get()) = value;
}

TzkPrjInfo::TzkPrjInfo() : TzkPrjInfo(ExtractFilePath(ModuleFileName())) {}

TzkPrjInfo::TzkPrjInfo(const std::string& programPath)
    : ProgramPath(IncludeTrailingBackslash(programPath)),
      Icon(LoadSmallMainIcon(16)),
      BasketPath(ProgramPath + "zkBasket\\")
{
    Application.SetTitle(Title());
    AlphaValue = TIniFile(IniFileName()).ReadInteger("PROGRAM", "AlphaBlend Value", 100);
}

TzkPrjInfo::~TzkPrjInfo() = default;

std::string TzkPrjInfo::IniFileName() const { return ProgramPath + "Pinova" + ".ini"; }
std::string TzkPrjInfo::PostItIniFileName() const { return ProgramPath + "zkPostIt.ini"; }
std::string TzkPrjInfo::PinBrowserIniFileName() const { return ProgramPath + "zkPinBrowser.ini"; }

namespace {

// The version functions, from the system's own version.dll.
class VersionLibrary {
public:
    VersionLibrary() : library_(LoadSystemLibrary(L"version.dll")) {}

    template <typename Function>
    Function* Get(const char* name) const
    {
        return library_ ? reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(library_.get(), name)))
                        : nullptr;
    }

private:
    UniqueModule library_;
};

} // namespace

std::string TzkPrjInfo::VersionText() const
{
    const VersionLibrary library;
    auto* infoSize = library.Get<decltype(GetFileVersionInfoSizeA)>("GetFileVersionInfoSizeA");
    auto* readInfo = library.Get<decltype(GetFileVersionInfoA)>("GetFileVersionInfoA");
    auto* query = library.Get<decltype(VerQueryValueA)>("VerQueryValueA");
    if (!infoSize || !readInfo || !query)
        return "";
    const std::string exe = ModuleFileName();
    DWORD ignored = 0;
    const DWORD size = infoSize(exe.c_str(), &ignored);
    if (size == 0)
        return "";
    std::vector<BYTE> buffer(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!readInfo(exe.c_str(), 0, size, buffer.data()) ||
        !query(buffer.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info)
        return "";
    return Format("%d.%d release %d", static_cast<int>(HIWORD(info->dwFileVersionMS)),
                  static_cast<int>(LOWORD(info->dwFileVersionMS)), static_cast<int>(HIWORD(info->dwFileVersionLS)));
}

std::wstring TzkPrjInfo::Title() const { return L"Pinova " + AnsiToWide(VersionText()); }

int TzkPrjInfo::ReadBootMode() const { return TIniFile(IniFileName()).ReadInteger("PROGRAM", "BootMode", 0); }

void TzkPrjInfo::GotoHomePage() const { ShellOpen(kHomePageAddress); }

bool TzkPrjInfo::IsFirstInstance()
{
    HANDLE mutex = CreateMutexA(nullptr, TRUE, "Pinova");
    const DWORD error = GetLastError();
    Mutex.reset(mutex);
    if (Mutex && error == ERROR_ALREADY_EXISTS) {
        NotifyRunningInstance();
        return false;
    }
    if (!FolderLock)
        FolderLock = std::make_unique<TFolderLock>(ProgramPath);
    if (FolderLock->HeldElsewhere()) {
        ShowMessageBox(nullptr, kFolderInUseMessage, Title(), MB_OK | MB_ICONINFORMATION);
        return false;
    }
    if (ReadBootMode() == 3)
        Application.ShowMainForm = false;
    return true;
}

void TzkPrjInfo::NotifyRunningInstance() const
{
    HWND running = GetMainHwnd();
    if (!running)
        return;
    static const char zero = 0;
    COPYDATASTRUCT data{};
    data.cbData = 1;
    data.lpData = const_cast<char*>(&zero);
    // A running instance that has stopped taking messages must not hang this start.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, kNotifyTimeoutMs,
                        &ignored);
}

HWND TzkPrjInfo::GetMainHwnd() const
{
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(MappedHwnd.Read()));
}

void TzkPrjInfo::SetMainHwnd(HWND wnd)
{
    MappedHwnd.Write(static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(wnd)));
}
