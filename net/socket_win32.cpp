#include <winsock2.h>

#include "net/socket_layer.h"

// Winsock, as the shipped program uses it: gethostbyname for names, select for the waits.

namespace {

SOCKET Native(SocketHandle socket)
{
    return static_cast<SOCKET>(socket);
}

}  // namespace

bool SocketStartup()
{
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 0), &data) == 0;
}

void SocketCleanup()
{
    WSACleanup();
}

SocketHandle SocketOpenTcp()
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return kNoSocket;
    return static_cast<SocketHandle>(s);
}

bool SocketResolveIPv4(const char* name, std::string& dotted)
{
    hostent* host = gethostbyname(name);
    // An entry without an IPv4 address of four bytes would be read past its end.
    if (host == nullptr || host->h_addrtype != AF_INET || host->h_length != 4 || host->h_addr_list == nullptr ||
        host->h_addr_list[0] == nullptr)
        return false;
    in_addr address;
    memcpy(&address, host->h_addr_list[0], sizeof address);
    const char* text = inet_ntoa(address);
    if (text == nullptr)
        return false;
    dotted = text;
    return true;
}

bool SocketConnect(SocketHandle socket, const char* dotted, int port, int seconds)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = inet_addr(dotted);
    address.sin_port = htons(static_cast<u_short>(port));
    if (connect(Native(socket), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return true;
    if (WSAGetLastError() != WSAEWOULDBLOCK)
        return false;
    // Winsock reports a connection made as writable and one that failed in the exception set.
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(Native(socket), &writable);
    FD_SET(Native(socket), &failed);
    timeval limit = {seconds < 0 ? 0 : seconds, 0};
    if (select(0, nullptr, &writable, &failed, &limit) <= 0 || !FD_ISSET(Native(socket), &writable))
        return false;
    int error = 0;
    int length = sizeof error;
    return getsockopt(Native(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) == 0 &&
           error == 0;
}

bool SocketSetNonBlocking(SocketHandle socket)
{
    u_long on = 1;
    return ioctlsocket(Native(socket), FIONBIO, &on) == 0;
}

bool SocketWaitReady(SocketHandle socket, SocketWait direction, int seconds)
{
    if (socket == kNoSocket)
        return false;
    fd_set set;
    FD_ZERO(&set);
    FD_SET(Native(socket), &set);
    timeval limit = {seconds < 0 ? 0 : seconds, 0};
    int ready = direction == SocketWait::kRead ? select(0, &set, nullptr, nullptr, &limit)
                                               : select(0, nullptr, &set, nullptr, &limit);
    return ready == 1;
}

int SocketSend(SocketHandle socket, const char* data, int length)
{
    int sent = send(Native(socket), data, length, 0);
    return sent == SOCKET_ERROR ? -1 : sent;
}

int SocketReceive(SocketHandle socket, char* buffer, int length)
{
    int received = recv(Native(socket), buffer, length, 0);
    return received == SOCKET_ERROR ? -1 : received;
}

void SocketClose(SocketHandle socket)
{
    closesocket(Native(socket));
}
