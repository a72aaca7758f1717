#pragma once
// One program per folder, whoever runs it. The single-instance mutex lives in the
// logon session, so another user of the machine, or another computer sharing the
// folder, would not see it; a file in the program folder held open without sharing
// is seen by all of them, and the system lets go of it when the process ends,
// however it ends.

#include "framework/Handles.h"

#include <string>

// The lock file's name. Sync clients skip names that begin with "~$" (Office's owner
// files) and names "~*.tmp", so the lock never travels to another computer.
extern const char kFolderLockName[];

class TFolderLock {
public:
    explicit TFolderLock(const std::string& programPath);
    TFolderLock(const TFolderLock&) = delete;
    TFolderLock& operator=(const TFolderLock&) = delete;

    // Another program holds the lock: this one must not write into the folder.
    bool HeldElsewhere() const { return heldElsewhere_; }
    // This process holds the lock (false also in a folder where no file can be made;
    // nothing can be saved there either, and the program runs as before).
    bool Held() const { return static_cast<bool>(file_); }

private:
    UniqueKernelHandle file_;
    bool heldElsewhere_ = false;
};

// The one message of a start that found the lock taken.
extern const wchar_t kFolderInUseMessage[];
