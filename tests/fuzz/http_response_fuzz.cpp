// Feeds arbitrary server responses to the HTTP client's header parser and body readers. The
// client is built here over a socket layer of this file's own that serves the response from
// memory, so every input runs without the network, in a deterministic number of receives.
//
// Input: three bytes of set-up, then the response.
//   byte 0: bits 0-1 choose the body reader (ReceiveBody, ReceiveWithCallback, DownloadToFile);
//           bit 2 makes the end of the response a time-out rather than a closed connection;
//           bit 3 makes the callback cancel on its second data block.
//   byte 1: the block size: 1 to 192 bytes, or 4096 and up in steps of 16 for the values
//           above 191 (a fresh buffer of the block size per receive makes larger ones slow).
//   byte 2: the most one receive hands out: 1 to 255 bytes, or unlimited for 0.
//
// Besides the sanitizers' checks, it aborts when the client hands out bytes the server did not
// send in that order, reports a header that is not the response's first block ending in a blank
// line, goes past its header bound, or counts its progress wrongly.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "net/http_agent.h"
#include "net/socket_layer.h"

namespace {

// The one connection of the memory socket layer.
struct MemoryConnection {
    std::string response;
    size_t position = 0;
    size_t receiveCap = 0;  // 0: no cap
    bool endIsTimeout = false;
    bool open = false;
    std::string sent;
};

MemoryConnection g_connection;
constexpr SocketHandle kMemorySocket = 7;

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

bool SocketStartup()
{
    return true;
}

void SocketCleanup() {}

SocketHandle SocketOpenTcp()
{
    g_connection.open = true;
    return kMemorySocket;
}

bool SocketResolveIPv4(const char*, std::string& dotted)
{
    dotted = "127.0.0.1";
    return true;
}

bool SocketConnect(SocketHandle socket, const char*, int, int)
{
    return socket == kMemorySocket;
}

bool SocketSetNonBlocking(SocketHandle socket)
{
    return socket == kMemorySocket;
}

bool SocketWaitReady(SocketHandle socket, SocketWait direction, int)
{
    if (socket != kMemorySocket || !g_connection.open)
        return false;
    if (direction == SocketWait::kWrite)
        return true;
    return g_connection.position < g_connection.response.size() || !g_connection.endIsTimeout;
}

int SocketSend(SocketHandle socket, const char* data, int length)
{
    if (socket != kMemorySocket || !g_connection.open || length < 0)
        return -1;
    g_connection.sent.append(data, static_cast<size_t>(length));
    return length;
}

int SocketReceive(SocketHandle socket, char* buffer, int length)
{
    if (socket != kMemorySocket || !g_connection.open || length < 0)
        return -1;
    size_t count = g_connection.response.size() - g_connection.position;
    if (count > static_cast<size_t>(length))
        count = static_cast<size_t>(length);
    if (g_connection.receiveCap != 0 && count > g_connection.receiveCap)
        count = g_connection.receiveCap;
    std::memcpy(buffer, g_connection.response.data() + g_connection.position, count);
    g_connection.position += count;
    return static_cast<int>(count);
}

void SocketClose(SocketHandle socket)
{
    if (socket == kMemorySocket)
        g_connection.open = false;
}

namespace {

struct Progress {
    int notices = 0;
    int dataNotices = 0;
    int cancelOnDataNotice = -1;
    bool failureNoticed = false;
    int64_t received = 0;
    int64_t total = 0;
    std::string data;
};

int OnProgress(int percent, uint32_t speed, const char* data, int size, int64_t received, int64_t total, void* user)
{
    Progress* progress = static_cast<Progress*>(user);
    // Nothing comes after the failure notice, and every notice names the same total.
    Check(!progress->failureNoticed);
    Check(total == progress->total);
    if (progress->notices++ == 0) {
        Check(percent == 0 && speed == 0 && data == nullptr && size == 0 && received == 0);
        return 1;
    }
    if (data == nullptr) {
        Check(percent == -1 && speed == 0 && size == 0 && received == progress->received);
        progress->failureNoticed = true;
        return 1;
    }
    Check(size > 0);
    progress->received += size;
    Check(received == progress->received);
    Check(percent == static_cast<int>(received * 100 / total));
    progress->data.append(data, static_cast<size_t>(size));
    return progress->dataNotices++ == progress->cancelOnDataNotice ? 0 : 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const int reader = data[0] & 3;
    const int blockSize = data[1] < 192 ? data[1] + 1 : 4096 + (data[1] - 192) * 16;
    g_connection = MemoryConnection();
    g_connection.endIsTimeout = (data[0] & 4) != 0;
    g_connection.receiveCap = data[2];
    g_connection.response.assign(reinterpret_cast<const char*>(data + 3), size - 3);
    const std::string& response = g_connection.response;

    CHttpAgent agent;
    Check(agent.SetBufferSize(blockSize));
    Check(agent.SetRequest("fuzz.test", 80, "GET", "/", "HTTP/1.1"));
    Check(agent.AddHeader("Host", "%s", "fuzz.test"));
    Check(agent.SendRequest());
    Check(g_connection.sent == "GET / HTTP/1.1\r\nHost: fuzz.test\r\n\r\n");

    std::string header;
    if (!agent.ReceiveHeader()) {
        Check(!agent.GetRawHeader(header));
        Check(agent.GetStatusCode() == 404);
        return 0;
    }
    Check(agent.GetRawHeader(header));
    // The header is the response up to and including its first blank line, within the bound
    // plus the one receive that may cross it.
    size_t end = response.find("\r\n\r\n");
    Check(end != std::string::npos && header.size() == end + 4);
    Check(response.compare(0, header.size(), header) == 0);
    Check(header.size() <= CHttpAgent::kMaxHeaderBytes + CHttpAgent::kHeaderReceiveSize);
    Check(!agent.ReceiveHeader());
    agent.GetStatusCode();
    agent.GetHeader("Location");
    const std::string rest = response.substr(header.size());
    const int64_t length = agent.GetContentLength();

    if (reader == 1 || reader == 2) {
        Progress progress;
        progress.total = length;
        progress.cancelOnDataNotice = (data[0] & 8) != 0 ? 1 : -1;
        bool ok = reader == 1 ? agent.ReceiveWithCallback(&OnProgress, &progress)
                              : agent.DownloadToFile(L"/dev/null", &OnProgress, &progress);
        // Without a positive length nothing is read and nobody is called.
        if (length <= 0)
            Check(!ok && progress.notices == 0);
        // The blocks are the bytes after the header, in order, and true means all of the length.
        Check(rest.compare(0, progress.data.size(), progress.data) == 0);
        Check(ok == (progress.notices > 0 && progress.received >= length && !progress.failureNoticed &&
                     progress.dataNotices != progress.cancelOnDataNotice + 1));
    } else {
        std::string body;
        bool ok = agent.ReceiveBody(body);
        if (length > 0) {
            Check(rest.compare(0, body.size(), body) == 0);
            Check(ok == (static_cast<int64_t>(body.size()) >= length));
        } else {
            // Decoded chunks are never longer than what carried them.
            Check(body.size() <= rest.size());
            Check(!ok || !body.empty());
        }
    }
    return 0;
}
