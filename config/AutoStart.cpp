#include "config/AutoStart.h"

#include "framework/Registry.h"
#include "framework/SysUtils.h"

#include <windows.h>

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunValueName[] = "Pinova";

namespace {

// The program a command names: the quoted part when it starts with a quote.
std::string CommandProgram(const std::string& command)
{
    const std::string text = Trim(command);
    if (text.empty() || text[0] != '"')
        return text;
    const size_t end = text.find('"', 1);
    return text.substr(1, end == std::string::npos ? std::string::npos : end - 1);
}

bool HasValue(HKEY root)
{
    TRegistry reg(KEY_READ);
    reg.RootKey = root;
    return reg.OpenKeyReadOnly(kRunKey) && reg.ValueExists(kRunValueName);
}

bool ValueStarts(HKEY root, const std::string& programPath)
{
    TRegistry reg(KEY_READ);
    reg.RootKey = root;
    return reg.OpenKeyReadOnly(kRunKey) && reg.ValueExists(kRunValueName) &&
           StartsProgram(reg.ReadString(kRunValueName), programPath);
}

} // namespace

std::string AutoStartCommand(const std::string& programPath) { return "\"" + programPath + "\""; }

bool StartsProgram(const std::string& command, const std::string& programPath)
{
    const std::string program = CommandProgram(command);
    // File names do not tell case apart.
    return !program.empty() && lstrcmpiA(program.c_str(), programPath.c_str()) == 0;
}

bool AutoStartEnabled() { return HasValue(HKEY_CURRENT_USER) || HasValue(HKEY_LOCAL_MACHINE); }

void EnableAutoStart(const std::string& programPath)
{
    if (ValueStarts(HKEY_CURRENT_USER, programPath) || ValueStarts(HKEY_LOCAL_MACHINE, programPath))
        return;
    TRegistry reg(KEY_READ | KEY_WRITE);
    reg.RootKey = HKEY_CURRENT_USER;
    reg.LazyWrite = false;
    // Without the key the write below fails and says so.
    reg.OpenKey(kRunKey, true);
    reg.WriteString(kRunValueName, AutoStartCommand(programPath));
}

void DisableAutoStart()
{
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        TRegistry reg(KEY_READ | KEY_WRITE);
        reg.RootKey = root;
        reg.LazyWrite = false;
        // The machine's key opens for writing only with the rights to change it.
        if (reg.OpenKey(kRunKey, false) && reg.ValueExists(kRunValueName))
            reg.DeleteValue(kRunValueName);
    }
}
