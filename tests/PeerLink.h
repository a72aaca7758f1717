#pragma once
// The test and its other computer (a helper program running in a second Wine
// prefix, a session of its own) talk over a loopback connection, one line each
// way per turn: a command, then its answer.

#include <winsock2.h>

#include <optional>
#include <string>

class LineLink {
public:
    // Owns the connected socket.
    explicit LineLink(SOCKET connected);
    ~LineLink();
    LineLink(const LineLink&) = delete;
    LineLink& operator=(const LineLink&) = delete;

    bool Send(const std::string& line);
    // The next line; none after the time-out or once the other side has gone.
    std::optional<std::string> Receive(DWORD timeoutMs);

    // The program of the other computer is started with the port to call back on.
    static SOCKET Connect(int port);

private:
    SOCKET socket_;
    std::string pending_;
};

// Winsock for the life of the object.
class SocketsStarted {
public:
    SocketsStarted();
    ~SocketsStarted();
    SocketsStarted(const SocketsStarted&) = delete;
    SocketsStarted& operator=(const SocketsStarted&) = delete;

private:
    bool started_;
};

// Memo texts cross the link on one line: lines of a memo joined by "\r" turn to
// blanks, and the memos are separated by this character.
constexpr char kTextSeparator = '\x1f';
