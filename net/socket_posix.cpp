#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "net/socket_layer.h"

// BSD sockets for the native build. Two things differ on purpose from a literal copy of the
// Winsock side: the waits use poll, because select's fd_set cannot hold a descriptor numbered
// FD_SETSIZE or above and FD_SET would write past it; and sends pass MSG_NOSIGNAL, because a send
// on a connection the server has closed would otherwise end the whole process with SIGPIPE
// instead of failing.

namespace {

int Native(SocketHandle socket)
{
    return static_cast<int>(socket);
}

}  // namespace

bool SocketStartup()
{
    return true;
}

void SocketCleanup() {}

SocketHandle SocketOpenTcp()
{
    int s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    return s < 0 ? kNoSocket : static_cast<SocketHandle>(s);
}

bool SocketResolveIPv4(const char* name, std::string& dotted)
{
    // getaddrinfo rather than gethostbyname: it is safe on any thread, and asking for AF_INET
    // gives the same first IPv4 address.
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &found) != 0 || found == nullptr)
        return false;
    bool ok = false;
    if (found->ai_family == AF_INET && found->ai_addrlen >= sizeof(sockaddr_in)) {
        char text[INET_ADDRSTRLEN];
        const sockaddr_in* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
        if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr) {
            dotted = text;
            ok = true;
        }
    }
    freeaddrinfo(found);
    return ok;
}

bool SocketConnect(SocketHandle socket, const char* dotted, int port, int seconds)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = inet_addr(dotted);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (connect(Native(socket), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return true;
    // The connection goes on in the background (an interrupted connect does too); it is made or
    // has failed once the socket turns writable, and SO_ERROR tells which.
    if (errno != EINPROGRESS && errno != EINTR)
        return false;
    if (!SocketWaitReady(socket, SocketWait::kWrite, seconds))
        return false;
    int error = 0;
    socklen_t length = sizeof error;
    return getsockopt(Native(socket), SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

bool SocketSetNonBlocking(SocketHandle socket)
{
    int flags = fcntl(Native(socket), F_GETFL, 0);
    return flags >= 0 && fcntl(Native(socket), F_SETFL, flags | O_NONBLOCK) == 0;
}

bool SocketWaitReady(SocketHandle socket, SocketWait direction, int seconds)
{
    // poll ignores a negative descriptor and would simply sleep out the time; select on Windows
    // fails at once for an invalid socket, and so does this.
    if (socket == kNoSocket)
        return false;
    if (seconds < 0)
        seconds = 0;
    int milliseconds = seconds > INT_MAX / 1000 ? INT_MAX : seconds * 1000;
    pollfd entry = {};
    entry.fd = Native(socket);
    entry.events = direction == SocketWait::kRead ? POLLIN : POLLOUT;
    int ready;
    do {
        ready = poll(&entry, 1, milliseconds);
    } while (ready < 0 && errno == EINTR);
    // A hang-up or an error makes the socket ready, as select reports it: the following receive
    // then sees the closed connection, and a send its error.
    return ready == 1;
}

int SocketSend(SocketHandle socket, const char* data, int length)
{
    ssize_t sent = send(Native(socket), data, static_cast<size_t>(length), MSG_NOSIGNAL);
    return sent < 0 ? -1 : static_cast<int>(sent);
}

int SocketReceive(SocketHandle socket, char* buffer, int length)
{
    ssize_t received = recv(Native(socket), buffer, static_cast<size_t>(length), 0);
    return received < 0 ? -1 : static_cast<int>(received);
}

void SocketClose(SocketHandle socket)
{
    close(Native(socket));
}
