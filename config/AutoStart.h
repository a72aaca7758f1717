#pragma once
// The "Pinova" value of the Run keys that starts the program with Windows. It is
// written for the current user, who can always do that; an older installation
// may have left one for the whole machine.

#include <string>

extern const char kRunKey[];
extern const char kRunValueName[];

// The command as it is written: the program's path in double quotes, so that a
// path with blanks can never start another program.
std::string AutoStartCommand(const std::string& programPath);
// True when a stored command starts the given program: quoted or not, in any case.
bool StartsProgram(const std::string& command, const std::string& programPath);

// The value exists under the user's or the machine's Run key.
bool AutoStartEnabled();
// Writes the user's value unless a value of either key starts the program already.
void EnableAutoStart(const std::string& programPath);
// Deletes the user's value, and the machine's where the rights allow.
void DisableAutoStart();
