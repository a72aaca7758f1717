#pragma once
// Where the program keeps its data, what it is called, and the single-instance
// objects it shares with a second start.

#include "framework/Handles.h"
#include "shell/FolderLock.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

// The 4-byte shared block "PinovaMap" that holds the running instance's tray window.
class TMappedHwnd {
public:
    explicit TMappedHwnd(const std::string& name = "PinovaMap");
    TMappedHwnd(const TMappedHwnd&) = delete;
    TMappedHwnd& operator=(const TMappedHwnd&) = delete;

    bool HasView() const { return static_cast<bool>(View); }
    std::uint32_t Read() const;
    void Write(std::uint32_t value);

    UniqueKernelHandle MapHandle;
    UniqueView View;
};

class TzkPrjInfo {
public:
    // The program folder is the executable's; tests name another.
    TzkPrjInfo();
    explicit TzkPrjInfo(const std::string& programPath);
    virtual ~TzkPrjInfo();
    TzkPrjInfo(const TzkPrjInfo&) = delete;
    TzkPrjInfo& operator=(const TzkPrjInfo&) = delete;

    std::string IniFileName() const;
    std::string PostItIniFileName() const;
    std::string PinBrowserIniFileName() const;
    std::string VersionText() const;
    std::wstring Title() const;
    int ReadBootMode() const;
    void GotoHomePage() const;

    // Takes the mutex "Pinova"; false (after telling the running instance) when
    // another instance has it. Then takes the program folder's lock; false, after
    // saying so, when a program of another session or computer holds it.
    bool IsFirstInstance();
    HWND GetMainHwnd() const;
    void SetMainHwnd(HWND wnd);

    // Held, never waited on, for as long as this object lives.
    UniqueKernelHandle Mutex;
    // Held from the first instance check for as long as this object lives.
    std::unique_ptr<TFolderLock> FolderLock;
    std::string ProgramPath;
    TMappedHwnd MappedHwnd;
    UniqueIcon Icon;
    std::string BasketPath;
    int AlphaValue = 100;

private:
    void NotifyRunningInstance() const;
};

// The one program information object, made first thing at start-up.
extern TzkPrjInfo* PrjInfo;

// Where GotoHomePage goes.
extern const char kHomePageAddress[];
// How long a second start waits for the running instance to take its notice.
constexpr UINT kNotifyTimeoutMs = 5000;
