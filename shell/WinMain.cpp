#include "framework/SystemLibraries.h"
#include "shell/Entry.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Before anything can load a library.
    RestrictLibrariesToSystemFolder();
    return RunProgram();
}
