#include "shell/FolderLock.h"

#include "framework/SysUtils.h"

const char kFolderLockName[] = "~$Pinova.tmp";
const wchar_t kFolderInUseMessage[] =
    L"Pinova is already running on this folder, for another user or on another computer.";

TFolderLock::TFolderLock(const std::string& programPath)
{
    const std::string path = IncludeTrailingBackslash(programPath) + kFolderLockName;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        file_.reset(file);
        return;
    }
    // A lock file that is there but cannot be opened is held, or is going with the
    // program that held it a moment ago; a folder where none can be made at all is
    // read-only, and no other program is writing into it either.
    const DWORD error = GetLastError();
    heldElsewhere_ = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || FileExists(path);
}
