#pragma once
// Another process that holds a file open without sharing for a while, as a virus
// scanner, the search indexer or a sync client does on Windows (Wine has none of
// them, but enforces sharing modes across processes just the same). The process is
// this test program itself, running one of its disabled tests.

#include "framework/Handles.h"

#include <windows.h>

#include <string>

class FileHolder {
public:
    // Starts the process; it takes the file only when told to.
    FileHolder(const std::string& path, DWORD holdMs);
    ~FileHolder();
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;

    bool Started() const { return static_cast<bool>(process_); }
    // Takes the file now and returns once it is held; false when that did not happen.
    bool Hold();
    // Waits (handling this thread's messages) until the process has let go and ended.
    bool WaitForRelease(DWORD timeoutMs);

private:
    UniqueKernelHandle go_, held_, process_;
};
