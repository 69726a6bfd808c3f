#pragma once

// CHttpAgent: a small HTTP/1.1 client on plain sockets. One TCP connection per request; the
// caller sets the request line and headers, the response header is parsed into a map, and the
// body is read by Content-Length or by chunked transfer coding into memory, into a file, or
// through a callback that sees every block and may cancel. It knows nothing of URLs, redirects or
// TLS: the component download follows its own redirect.
//
// A request goes: SetRequest (which drops everything of the previous one), any AddHeader,
// SendRequest, ReceiveHeader, then GetStatusCode / GetHeader and one body reader. Close, the
// next SetRequest or destruction ends the connection; it is never reused. ConnectAndSend is the
// raw alternative to SetRequest plus SendRequest.
//
// Every failure is a result (false, 404, 0 or empty text); nothing is thrown except a failing
// memory allocation, and nothing is shown or logged. A wait that runs out counts like a closed
// connection. Wide text is converted to the ANSI code page; everything on the wire is bytes.
//
// Limits of our own:
// - ReceiveHeader stops, and fails, once kMaxHeaderBytes (64 KiB) have arrived without the blank
//   line that ends a header, so its buffer never holds more than that plus one 4096-byte
//   receive. Real response headers are a few hundred bytes; a server that keeps sending header
//   bytes must not make us hold all of them.
// - The chunked reader fails when kMaxChunkLineBytes (64 KiB) are pending without the line break
//   that ends a chunk-size line or a chunk's data; the bound is checked before each further block,
//   so the pending bytes stay below it plus one block. A real size line is a few hex digits,
//   perhaps with a short extension.
// - A chunk size above 0x7FFFFFFF fails the body. Such a size cannot be read into memory here,
//   and read as a signed 32-bit number it would look like the end of the body and turn a cut-off
//   transfer into a success.
// - The native build's tick count is CLOCK_MONOTONIC in milliseconds (net_platform.h).
//
// Where this client is stricter than the simplest form of its algorithms would be:
// - SendRequest fails without a request line (after a failed SetRequest), rather than sending a
//   bare blank line to the previous host.
// - A chunked body whose connection ends inside a chunk's data fails, rather than scanning the
//   partial data for the next size line.
// - DownloadToFile reports a short write or a failing close of the file (a full disk) as a failed
//   download, with the failure notice, rather than as success.
// - SetBufferSize refuses sizes below 1 as well as above the maximum: a receive of no bytes would
//   look like a closed connection, and a negative size cannot be allocated.
// - A status code too large for an int saturates instead of overflowing.
// - Sending the request again, or connecting again, closes the earlier connection first rather
//   than losing its handle.
// - The connect waits no longer than the timeout either, rather than blocking until the system
//   gives up: a listener whose queue is full leaves the SYNs unanswered, and Linux, so Wine too,
//   retries them for about two minutes.

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

#include "net/socket_layer.h"

// The body readers' progress callback. Non-zero to go on, zero to cancel.
// - percent: received x 100 / total; 0 in the start notice and -1 in the failure notice.
// - speed: bytes per second, the block size x 1000 / milliseconds since the previous notice; it
//   keeps its previous value when no time passed, and is 0 in the start and failure notices. The
//   block size is the one asked for (SetBufferSize), so a short last block reads as fast; at most
//   2097152 x 1000, it always fits in 32 bits.
// - data, size: the last block; null and 0 in the start and failure notices.
// - received: body bytes so far; total: the Content-Length; user: the caller's pointer.
typedef int (*ProgressCallback)(int percent, uint32_t speed, const char* data, int size, int64_t received,
                                int64_t total, void* user);

class CHttpAgent {
public:
    static constexpr int kDefaultTimeout = 20;
    static constexpr int kDefaultBlockSize = 4096;
    static constexpr int kMaxBlockSize = 2097152;
    static constexpr int kHeaderReceiveSize = 4096;
    static constexpr size_t kMaxHeaderBytes = 64 * 1024;
    static constexpr size_t kMaxChunkLineBytes = 64 * 1024;

    CHttpAgent();
    // Not virtual: an agent is always used as itself, on the stack or as a member.
    ~CHttpAgent();
    CHttpAgent(const CHttpAgent&) = delete;
    CHttpAgent& operator=(const CHttpAgent&) = delete;

    // The virtual operations keep this order.
    virtual bool ConnectAndSendW(const wchar_t* host, int port, const std::string& data);
    virtual bool ConnectAndSend(const char* host, int port, const std::string& data);
    virtual bool SetRequestW(const wchar_t* host, int port, const wchar_t* method, const wchar_t* path,
                             const wchar_t* version);
    virtual bool SetRequest(const char* host, int port, const char* method, const char* path, const char* version);
    // The value is formatted first, as wide text for AddHeaderW. For a wide string argument use
    // "%ls", which means the same to every C runtime; "%s" does not.
    virtual bool AddHeaderW(const wchar_t* name, const wchar_t* format, ...);
    virtual bool AddHeader(const char* name, const char* format, ...);
    virtual bool SendRequest();
    virtual bool SendRaw(const char* bytes, int length);
    virtual bool ReceiveHeader();
    virtual bool DownloadToFile(const wchar_t* path, ProgressCallback callback, void* user);
    virtual bool ReceiveWithCallback(ProgressCallback callback, void* user);
    virtual bool ReceiveBody(std::string& out);
    virtual int GetStatusCode();
    virtual int64_t GetContentLength();
    virtual bool GetRawHeader(std::string& out);
    virtual std::wstring& GetHeaderW(std::wstring& out, const wchar_t* name);
    // The value stays valid until the next request is set up; an absent header gives "".
    virtual const char* GetHeader(const char* name);
    virtual void Close();
    virtual bool SetTimeout(int seconds);
    virtual bool SetBufferSize(int bytes);

private:
    bool Connect();
    int Send(const char* bytes, int length);
    int Receive(char* buffer, int length);
    bool ReadBlock(std::string& out);
    bool DecodeChunked(std::string& out);
    bool AppendBlock(std::string& pending);
    // The first CR LF in pending, appending blocks while there is none; npos when the connection
    // ends first or the pending bytes reach kMaxChunkLineBytes without one.
    size_t FindLineBreakAppending(std::string& pending);
    bool ReceiveWithNotices(FILE* file, ProgressCallback callback, void* user, int64_t total);
    void ClearResponse();

    int m_port;
    SocketHandle m_socket;
    int m_timeout;
    int m_blockSize;
    std::string m_host;
    std::string m_leftover;
    std::string m_rawHeader;
    std::string m_requestLine;
    std::map<std::string, std::string> m_requestHeaders;
    std::string m_statusLine;
    std::map<std::string, std::string> m_responseHeaders;
};
