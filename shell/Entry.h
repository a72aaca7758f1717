#pragma once

// The whole life of the program: single-instance check, tray controller, message
// loop, final save. Returns the process exit code.
int RunProgram();
