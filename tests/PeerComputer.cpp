#include "tests/PeerComputer.h"

#include "framework/SysUtils.h"
#include "tests/TestSupport.h"

#include <windows.h>

#include <cstdlib>

namespace {

// Wine's own: the Unix path of a file. The second prefix is another Wine, and
// Wine runs a Unix program that CreateProcess is given; nothing of this exists on
// Windows, where the other computer would be a real one.
std::string UnixPath(const std::string& path)
{
    using UnixFileName = char*(CDECL*)(const WCHAR*);
    const auto toUnix = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return {};
    WCHAR wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char* unix = toUnix(wide);
    std::string result = unix ? unix : "";
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// A Unix path as both prefixes name it.
std::string OnDriveZ(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

} // namespace

std::string PeerComputer::PathThere(const std::string& path)
{
    std::string there = OnDriveZ(UnixPath(path));
    // The trailing backslash the program's paths carry.
    if (!path.empty() && path.back() == '\\' && there.back() != '\\')
        there += '\\';
    return there;
}

PeerComputer::PeerComputer()
{
    const char* prefix = std::getenv("PINOVA_PEER_PREFIX");
    const std::string helper = UnixPath(ExtractFilePath(ModuleFileName()) + "pinova_peer.exe");
    if (!prefix || !*prefix || !FileExists(OnDriveZ(prefix) + "\\system.reg") || helper.empty()) {
        problem_ = "no second Wine prefix: source scripts/common.sh and run setup_wine with-peer";
        return;
    }
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    if (listener == INVALID_SOCKET || bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener, 1) != 0 || getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        problem_ = "no loopback port";
        if (listener != INVALID_SOCKET)
            closesocket(listener);
        return;
    }
    // Its output goes nowhere: held by the helper, ctest's pipe would stay open.
    std::string commandLine = Format("Z:\\bin\\sh -c \"WINEPREFIX='%s' exec wine64 '%s' %d </dev/null >/dev/null 2>&1\"",
                                     prefix, helper.c_str(), ntohs(address.sin_port));
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        problem_ = "cannot start " + commandLine;
        closesocket(listener);
        return;
    }
    // A Unix process: the handles Wine gives for it tell nothing.
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(listener, &readable);
    timeval wait{30, 0};
    if (select(0, &readable, nullptr, nullptr, &wait) == 1)
        link_ = std::make_unique<LineLink>(accept(listener, nullptr, nullptr));
    else
        problem_ = "the helper did not call back: " + commandLine;
    closesocket(listener);
}

PeerComputer::~PeerComputer()
{
    // Gone once it has ended its program, which holds files of the folder.
    if (link_ && link_->Send("quit"))
        link_->Receive(15'000);
}

std::string PeerComputer::Ask(const std::string& command, DWORD timeoutMs)
{
    if (!link_ || !link_->Send(command))
        return {};
    return link_->Receive(timeoutMs).value_or("");
}

bool PeerComputer::StartPinova(const std::string& folder) { return Ask("start " + folder) == "ok"; }

std::vector<std::string> PeerComputer::MemoTexts()
{
    const std::string line = Ask("memos", 10'000);
    std::vector<std::string> texts;
    for (size_t start = 0; !line.empty() && start <= line.size();) {
        const size_t end = std::min(line.find(kTextSeparator, start), line.size());
        texts.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return texts;
}

bool PeerComputer::Type(const std::string& needle, const std::string& text)
{
    return Ask("type " + needle + kTextSeparator + text) == "ok";
}
