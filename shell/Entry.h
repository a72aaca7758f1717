#pragma once

// The whole life of the program: single-instance check, tray controller, message
// loop, final save. Returns the process exit code.
int RunProgram();

// Saves the content and position of every memo window and detaches its close
// guard, so that the windows' destruction at the end moves no memo anywhere.
void SaveAllMemos();
