#pragma once
// Another computer for the whole-program tests: pinova_peer.exe in the second Wine
// prefix (its own server, so its own session: its own single-instance objects, its
// own shell desktop), driven over a loopback connection.

#include "tests/PeerLink.h"

#include <memory>
#include <string>
#include <vector>

class PeerComputer {
public:
    // Starts the helper; Ready() tells whether it called back.
    PeerComputer();
    ~PeerComputer();
    PeerComputer(const PeerComputer&) = delete;
    PeerComputer& operator=(const PeerComputer&) = delete;

    bool Ready() const { return static_cast<bool>(link_); }
    // What went wrong starting it, for the failure message.
    const std::string& Problem() const { return problem_; }

    // Starts pinova.exe in a folder of this computer's (a path of this prefix).
    bool StartPinova(const std::string& folder);
    // The texts its memo windows show, sorted; empty when it did not answer.
    std::vector<std::string> MemoTexts();
    // Types into the memo showing `needle` and takes its activation away.
    bool Type(const std::string& needle, const std::string& text);

    // The same file or folder as the other prefix names it (both see the Unix
    // file system as drive Z:).
    static std::string PathThere(const std::string& path);

private:
    std::string Ask(const std::string& command, DWORD timeoutMs = 30'000);

    SocketsStarted sockets_;
    std::unique_ptr<LineLink> link_;
    std::string problem_;
};
