#include "tests/PeerLink.h"

LineLink::LineLink(SOCKET connected) : socket_(connected) {}

LineLink::~LineLink()
{
    if (socket_ != INVALID_SOCKET)
        closesocket(socket_);
}

bool LineLink::Send(const std::string& line)
{
    const std::string bytes = line + "\n";
    for (size_t sent = 0; sent < bytes.size();) {
        const int n = send(socket_, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

std::optional<std::string> LineLink::Receive(DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (const size_t end = pending_.find('\n'); end != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return line;
        }
        const DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs)
            return std::nullopt;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket_, &readable);
        const DWORD left = timeoutMs - spent;
        timeval wait{static_cast<long>(left / 1000), static_cast<long>(left % 1000) * 1000};
        if (select(0, &readable, nullptr, nullptr, &wait) <= 0)
            return std::nullopt;
        char buffer[4096];
        const int n = recv(socket_, buffer, sizeof(buffer), 0);
        if (n <= 0)
            return std::nullopt;
        pending_.append(buffer, static_cast<size_t>(n));
    }
}

SOCKET LineLink::Connect(int port)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    if (s != INVALID_SOCKET && connect(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        closesocket(s);
        s = INVALID_SOCKET;
    }
    return s;
}

SocketsStarted::SocketsStarted()
{
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

SocketsStarted::~SocketsStarted()
{
    if (started_)
        WSACleanup();
}
