#pragma once
// A hidden message-only window whose procedure finds its object in the window's
// user data: how a helper hears from a thread of the pool on the user-interface
// thread.

#include <windows.h>

// Registers the class (once) and makes the window, `owner` in its user data.
HWND CreateMessageWindow(const char* className, WNDPROC procedure, void* owner);
