#pragma once
// Libraries come from the system folder only. Windows looks for a library that is
// not one of its "known" ones in the program's own folder first, so a file named
// like a system library beside the program (a Downloads folder, a shared folder)
// would otherwise run inside it.

#include <windows.h>

// The first thing the program does: every later load of a library, the program's
// own and those the system's controls make on its behalf, searches the system
// folder alone.
void RestrictLibrariesToSystemFolder();

// The system's own copy of a library, loaded (or 0, with the last error set).
HMODULE LoadSystemLibrary(const wchar_t* name);
