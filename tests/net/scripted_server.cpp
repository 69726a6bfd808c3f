#include "scripted_server.h"

#include <arpa/inet.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace {

// Bounds for every wait, so that a broken client cannot hang the test run.
constexpr int kAcceptMs = 10000;
constexpr int kRequestMs = 10000;
constexpr int kHoldMs = 30000;
constexpr auto kDrainLimit = std::chrono::seconds(5);

bool WaitFor(int fd, short events, int milliseconds)
{
    pollfd entry = {fd, events, 0};
    int ready;
    do {
        ready = poll(&entry, 1, milliseconds);
    } while (ready < 0 && errno == EINTR);
    return ready == 1;
}

int LocalPort(int fd)
{
    sockaddr_in address = {};
    socklen_t length = sizeof address;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0 || address.sin_family != AF_INET)
        return -1;
    return ntohs(address.sin_port);
}

// The client's end of the accepted connection: the descriptor in this process whose local port
// is the connection's remote port. -1 when the client is not in this process.
int FindClientDescriptor(int connection)
{
    sockaddr_in peer = {};
    socklen_t length = sizeof peer;
    if (getpeername(connection, reinterpret_cast<sockaddr*>(&peer), &length) != 0)
        return -1;
    int port = ntohs(peer.sin_port);
    for (int fd = 0; fd < 4096; ++fd) {
        if (fd != connection && LocalPort(fd) == port)
            return fd;
    }
    return -1;
}

}  // namespace

ScriptedServer::ScriptedServer() = default;

ScriptedServer::~ScriptedServer()
{
    Join();
    if (m_listener >= 0)
        close(m_listener);
}

ScriptedServer& ScriptedServer::Send(const std::string& piece)
{
    m_steps.push_back({StepKind::kSend, piece, 0});
    return *this;
}

ScriptedServer& ScriptedServer::SendByteByByte(const std::string& text)
{
    for (char c : text)
        Send(std::string(1, c));
    return *this;
}

ScriptedServer& ScriptedServer::SendEndless(const std::string& pattern, size_t limit)
{
    m_steps.push_back({StepKind::kSendEndless, pattern, limit});
    return *this;
}

ScriptedServer& ScriptedServer::Hold()
{
    m_steps.push_back({StepKind::kHold, std::string(), 0});
    return *this;
}

void ScriptedServer::Start()
{
    m_listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listener, 1) != 0)
        return;
    m_port = LocalPort(m_listener);
    m_thread = std::thread([this] { Serve(); });
}

void ScriptedServer::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}

void ScriptedServer::Serve()
{
    if (!WaitFor(m_listener, POLLIN, kAcceptMs))
        return;
    int connection = accept(m_listener, nullptr, nullptr);
    if (connection < 0)
        return;
    int client = FindClientDescriptor(connection);

    char piece[4096];
    while (m_request.find("\r\n\r\n") == std::string::npos && WaitFor(connection, POLLIN, kRequestMs)) {
        ssize_t count = recv(connection, piece, sizeof piece, 0);
        if (count <= 0)
            break;
        m_request.append(piece, static_cast<size_t>(count));
    }

    for (const Step& step : m_steps) {
        if (step.kind == StepKind::kSend) {
            if (!SendAll(connection, step.bytes))
                break;
            WaitUntilRead(connection, client);
        } else if (step.kind == StepKind::kSendEndless) {
            while (m_endlessSent < step.limit && WaitFor(connection, POLLOUT, kHoldMs)) {
                ssize_t sent = send(connection, step.bytes.data(), step.bytes.size(), MSG_NOSIGNAL);
                if (sent <= 0)
                    break;
                m_endlessSent += static_cast<size_t>(sent);
            }
            WaitForClientClose(connection);
        } else {
            WaitForClientClose(connection);
        }
    }
    close(connection);
}

bool ScriptedServer::SendAll(int connection, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t sent = send(connection, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        done += static_cast<size_t>(sent);
    }
    return true;
}

void ScriptedServer::WaitUntilRead(int connection, int client)
{
    // The piece has been read when nothing is left unacknowledged on our side (so it all sits in
    // the client's receive queue or was read) and the client's receive queue is empty.
    if (client < 0)
        return;
    auto deadline = std::chrono::steady_clock::now() + kDrainLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        // A client that has closed its end reads nothing more; its descriptor number may already
        // belong to another socket.
        pollfd entry = {connection, POLLRDHUP, 0};
        if (poll(&entry, 1, 0) != 0)
            return;
        int unacknowledged = 0;
        int unread = 0;
        if (ioctl(connection, SIOCOUTQ, &unacknowledged) != 0 || ioctl(client, FIONREAD, &unread) != 0)
            return;
        if (unacknowledged == 0 && unread == 0)
            return;
        // Neither queue can be waited on for becoming empty, so look again shortly.
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

void ScriptedServer::WaitForClientClose(int connection)
{
    char piece[4096];
    while (WaitFor(connection, POLLIN, kHoldMs)) {
        if (recv(connection, piece, sizeof piece, 0) <= 0)
            return;
    }
}

int UnusedLoopbackPort()
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int port = -1;
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        port = LocalPort(fd);
    if (fd >= 0)
        close(fd);
    return port;
}
