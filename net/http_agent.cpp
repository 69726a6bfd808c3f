#include "net/http_agent.h"

#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <vector>

#include "net/net_platform.h"
#include "package/conversion_pool.h"

namespace {

const char kLineBreak[] = "\r\n";
const char kHeaderEnd[] = "\r\n\r\n";

// A wide header value longer than this fails AddHeaderW: vswprintf cannot say how much room it
// needs, so the buffer doubles up to here.
constexpr size_t kMaxWideValueChars = 64 * 1024;

bool IsEmpty(const char* text)
{
    return text == nullptr || *text == '\0';
}

bool IsEmpty(const wchar_t* text)
{
    return text == nullptr || *text == L'\0';
}

// Header names are compared in ASCII only, the same under every locale.
char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerAscii(std::string text)
{
    for (char& c : text)
        c = LowerAscii(c);
    return text;
}

bool IsAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool EqualsIgnoringCase(const std::string& a, const char* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return i == a.size() && b[i] == '\0';
}

// Only the space character is trimmed: a tab stays part of the name or value.
std::string TrimSpaces(const std::string& text)
{
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

bool FormatNarrow(const char* format, va_list args, std::string& value)
{
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0)
        return false;
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    va_list fill;
    va_copy(fill, args);
    int written = std::vsnprintf(buffer.data(), buffer.size(), format, fill);
    va_end(fill);
    if (written != length)
        return false;
    value.assign(buffer.data(), static_cast<size_t>(length));
    return true;
}

bool FormatWide(const wchar_t* format, va_list args, std::wstring& value)
{
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list fill;
        va_copy(fill, args);
        int written = std::vswprintf(buffer.data(), buffer.size(), format, fill);
        va_end(fill);
        if (written >= 0) {
            value.assign(buffer.data(), static_cast<size_t>(written));
            return true;
        }
        if (buffer.size() >= kMaxWideValueChars)
            return false;
        buffer.resize(buffer.size() * 2);
    }
}

// A decimal number read like atoi, but saturating at the int range instead of overflowing.
int ParseDecimalInt(const std::string& text)
{
    long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace

CHttpAgent::CHttpAgent()
    : m_port(0), m_socket(kNoSocket), m_timeout(kDefaultTimeout), m_blockSize(kDefaultBlockSize)
{
    SocketStartup();
}

CHttpAgent::~CHttpAgent()
{
    Close();
    SocketCleanup();
}

bool CHttpAgent::ConnectAndSendW(const wchar_t* host, int port, const std::string& data)
{
    ConversionPool pool;
    return ConnectAndSend(NarrowText(host, pool, kCodePageAnsi), port, data);
}

bool CHttpAgent::ConnectAndSend(const char* host, int port, const std::string& data)
{
    Close();
    m_requestLine.clear();
    m_requestHeaders.clear();
    ClearResponse();
    m_port = port;
    m_host = host != nullptr ? host : "";
    if (!Connect())
        return false;
    if (data.size() > static_cast<size_t>(INT_MAX))
        return false;
    return SendRaw(data.data(), static_cast<int>(data.size()));
}

bool CHttpAgent::SetRequestW(const wchar_t* host, int port, const wchar_t* method, const wchar_t* path,
                             const wchar_t* version)
{
    ConversionPool pool;
    return SetRequest(NarrowText(host, pool, kCodePageAnsi), port, NarrowText(method, pool, kCodePageAnsi),
                      NarrowText(path, pool, kCodePageAnsi), NarrowText(version, pool, kCodePageAnsi));
}

bool CHttpAgent::SetRequest(const char* host, int port, const char* method, const char* path, const char* version)
{
    Close();
    m_requestLine.clear();
    m_requestHeaders.clear();
    ClearResponse();
    if (IsEmpty(host) || IsEmpty(method) || IsEmpty(path) || IsEmpty(version))
        return false;
    m_port = port;
    m_host = host;
    m_requestLine = std::string(method) + " " + path + " " + version;
    return true;
}

bool CHttpAgent::AddHeaderW(const wchar_t* name, const wchar_t* format, ...)
{
    if (IsEmpty(name) || IsEmpty(format))
        return false;
    std::wstring value;
    va_list args;
    va_start(args, format);
    bool formatted = FormatWide(format, args, value);
    va_end(args);
    if (!formatted)
        return false;
    ConversionPool pool;
    return AddHeader(NarrowText(name, pool, kCodePageAnsi), "%s", NarrowText(value.c_str(), pool, kCodePageAnsi));
}

bool CHttpAgent::AddHeader(const char* name, const char* format, ...)
{
    if (IsEmpty(name) || IsEmpty(format))
        return false;
    std::string value;
    va_list args;
    va_start(args, format);
    bool formatted = FormatNarrow(format, args, value);
    va_end(args);
    if (!formatted)
        return false;
    m_requestHeaders[name] = value;
    return true;
}

bool CHttpAgent::SendRequest()
{
    // Without a request line (SetRequest failed or never ran) there is nothing worth sending.
    if (m_requestLine.empty())
        return false;
    if (!Connect())
        return false;
    // The map keeps the names in byte order, so the headers go out sorted, not as added.
    std::string text = m_requestLine + kLineBreak;
    for (const auto& header : m_requestHeaders)
        text += header.first + ": " + header.second + kLineBreak;
    text += kLineBreak;
    if (text.size() > static_cast<size_t>(INT_MAX))
        return false;
    return SendRaw(text.data(), static_cast<int>(text.size()));
}

bool CHttpAgent::SendRaw(const char* bytes, int length)
{
    if (bytes == nullptr || length < 0)
        return false;
    // One send only: a partial send is a failure, not something to continue.
    return Send(bytes, length) == length;
}

bool CHttpAgent::ReceiveHeader()
{
    if (!m_rawHeader.empty())
        return false;
    std::string buffer;
    char piece[kHeaderReceiveSize];
    for (;;) {
        int count = Receive(piece, sizeof piece);
        if (count <= 0)
            break;
        // The blank line cannot lie wholly in bytes already searched, so the search goes on from
        // where the last one ended: a header that trickles in byte by byte costs no more than
        // one that arrives at once.
        size_t searchFrom = buffer.size() < 3 ? 0 : buffer.size() - 3;
        buffer.append(piece, static_cast<size_t>(count));
        size_t end = buffer.find(kHeaderEnd, searchFrom);
        if (end != std::string::npos) {
            end += sizeof kHeaderEnd - 1;
            m_rawHeader = buffer.substr(0, end);
            m_leftover = buffer.substr(end);
            break;
        }
        if (buffer.size() >= kMaxHeaderBytes)
            break;
    }
    if (m_rawHeader.empty())
        return false;

    size_t lineEnd = m_rawHeader.find(kLineBreak);
    m_statusLine = m_rawHeader.substr(0, lineEnd);
    size_t start = lineEnd + 2;
    for (;;) {
        size_t next = m_rawHeader.find(kLineBreak, start);
        if (next == std::string::npos)
            break;
        std::string line = m_rawHeader.substr(start, next - start);
        start = next + 2;
        size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string name = TrimSpaces(line.substr(0, colon));
        if (name.empty())
            continue;
        m_responseHeaders[LowerAscii(name)] = TrimSpaces(line.substr(colon + 1));
    }
    return true;
}

bool CHttpAgent::DownloadToFile(const wchar_t* path, ProgressCallback callback, void* user)
{
    int64_t total = GetContentLength();
    if (total <= 0)
        return false;
    if (callback != nullptr && callback(0, 0, nullptr, 0, 0, total, user) == 0)
        return false;
    if (path == nullptr)
        return false;
    FILE* file = OpenFileForWriting(path);
    if (file == nullptr)
        return false;
    return ReceiveWithNotices(file, callback, user, total);
}

bool CHttpAgent::ReceiveWithCallback(ProgressCallback callback, void* user)
{
    if (callback == nullptr)
        return false;
    int64_t total = GetContentLength();
    if (total <= 0)
        return false;
    if (callback(0, 0, nullptr, 0, 0, total, user) == 0)
        return false;
    return ReceiveWithNotices(nullptr, callback, user, total);
}

bool CHttpAgent::ReceiveWithNotices(FILE* file, ProgressCallback callback, void* user, int64_t total)
{
    int64_t received = 0;
    uint32_t speed = 0;
    uint32_t mark = TickCountMs();
    bool writeFailed = false;
    std::string block;
    while (ReadBlock(block)) {
        uint32_t elapsed = callback != nullptr ? TickCountMs() - mark : 0;
        if (file != nullptr && std::fwrite(block.data(), 1, block.size(), file) != block.size()) {
            writeFailed = true;
            break;
        }
        received += static_cast<int64_t>(block.size());
        if (callback != nullptr) {
            if (elapsed > 0)
                speed = static_cast<uint32_t>(m_blockSize) * 1000u / elapsed;
            int percent = static_cast<int>(received * 100 / total);
            if (callback(percent, speed, block.data(), static_cast<int>(block.size()), received, total, user) == 0) {
                // A cancel is the caller's own decision: no failure notice, and the partial file stays.
                if (file != nullptr)
                    std::fclose(file);
                return false;
            }
            mark = TickCountMs();
        }
        if (received >= total)
            break;
    }
    if (file != nullptr && std::fclose(file) != 0)
        writeFailed = true;
    if (received >= total && !writeFailed)
        return true;
    if (callback != nullptr)
        callback(-1, 0, nullptr, 0, received, total, user);
    return false;
}

bool CHttpAgent::ReceiveBody(std::string& out)
{
    out.clear();
    int64_t length = GetContentLength();
    if (length > 0) {
        std::string block;
        while (static_cast<int64_t>(out.size()) < length) {
            if (!ReadBlock(block))
                return false;
            out += block;
        }
        return !out.empty();
    }
    if (EqualsIgnoringCase(GetHeader("Transfer-Encoding"), "chunked"))
        return DecodeChunked(out);
    // A body that only the end of the connection delimits is not read.
    return false;
}

int CHttpAgent::GetStatusCode()
{
    size_t first = m_statusLine.find(' ');
    if (first == std::string::npos)
        return 404;
    size_t second = m_statusLine.find(' ', first + 1);
    if (second == std::string::npos)
        return 404;
    return ParseDecimalInt(m_statusLine.substr(first + 1, second - first - 1));
}

int64_t CHttpAgent::GetContentLength()
{
    return std::strtoll(GetHeader("Content-Length"), nullptr, 10);
}

bool CHttpAgent::GetRawHeader(std::string& out)
{
    out = m_rawHeader;
    return !out.empty();
}

std::wstring& CHttpAgent::GetHeaderW(std::wstring& out, const wchar_t* name)
{
    out.clear();
    if (IsEmpty(name))
        return out;
    ConversionPool pool;
    const char* value = GetHeader(NarrowText(name, pool, kCodePageAnsi));
    out = WidenText(pool, value, kCodePageAnsi);
    return out;
}

const char* CHttpAgent::GetHeader(const char* name)
{
    if (IsEmpty(name))
        return "";
    auto found = m_responseHeaders.find(LowerAscii(name));
    return found == m_responseHeaders.end() ? "" : found->second.c_str();
}

void CHttpAgent::Close()
{
    if (m_socket != kNoSocket)
        SocketClose(m_socket);
    m_socket = kNoSocket;
}

bool CHttpAgent::SetTimeout(int seconds)
{
    m_timeout = seconds;
    return true;
}

bool CHttpAgent::SetBufferSize(int bytes)
{
    if (bytes < 1 || bytes > kMaxBlockSize)
        return false;
    m_blockSize = bytes;
    return true;
}

bool CHttpAgent::Connect()
{
    Close();
    m_socket = SocketOpenTcp();
    if (m_socket == kNoSocket)
        return false;
    // A name is looked up; anything else is taken as a dotted IPv4 address as it stands. A name
    // that does not resolve leaves the new socket for the next Close.
    std::string address = m_host;
    if (!m_host.empty() && IsAsciiLetter(m_host[0]) && !SocketResolveIPv4(m_host.c_str(), address))
        return false;
    if (!SocketSetNonBlocking(m_socket) || !SocketConnect(m_socket, address.c_str(), m_port, m_timeout)) {
        Close();
        return false;
    }
    return true;
}

int CHttpAgent::Send(const char* bytes, int length)
{
    if (!SocketWaitReady(m_socket, SocketWait::kWrite, m_timeout))
        return -1;
    return SocketSend(m_socket, bytes, length);
}

int CHttpAgent::Receive(char* buffer, int length)
{
    if (!SocketWaitReady(m_socket, SocketWait::kRead, m_timeout))
        return -1;
    return SocketReceive(m_socket, buffer, length);
}

bool CHttpAgent::ReadBlock(std::string& out)
{
    out.clear();
    // Body bytes that came with the header are handed out first, as one block of their own.
    if (!m_leftover.empty()) {
        out.swap(m_leftover);
        return true;
    }
    std::unique_ptr<char[]> buffer(new char[m_blockSize]);
    int count = Receive(buffer.get(), m_blockSize);
    if (count > 0)
        out.assign(buffer.get(), static_cast<size_t>(count));
    return !out.empty();
}

bool CHttpAgent::AppendBlock(std::string& pending)
{
    std::string block;
    if (!ReadBlock(block))
        return false;
    pending += block;
    return true;
}

size_t CHttpAgent::FindLineBreakAppending(std::string& pending)
{
    size_t searchFrom = 0;
    for (;;) {
        size_t found = pending.find(kLineBreak, searchFrom);
        if (found != std::string::npos)
            return found;
        if (pending.size() >= kMaxChunkLineBytes)
            return std::string::npos;
        // A CR at the very end may pair with an LF at the start of the next block.
        searchFrom = pending.empty() ? 0 : pending.size() - 1;
        if (!AppendBlock(pending))
            return std::string::npos;
    }
}

bool CHttpAgent::DecodeChunked(std::string& out)
{
    std::string pending;
    if (!ReadBlock(pending))
        return false;
    while (!pending.empty()) {
        size_t lineEnd = FindLineBreakAppending(pending);
        if (lineEnd == std::string::npos)
            return false;
        // The size is hexadecimal, read up to the first character that is not, so a chunk
        // extension after ";" is ignored and an unreadable line reads as 0.
        std::string sizeLine = pending.substr(0, lineEnd);
        pending.erase(0, lineEnd + 2);
        long long size = std::strtoll(sizeLine.c_str(), nullptr, 16);
        if (size <= 0)
            return !out.empty();  // The last chunk; its trailer part is not read.
        if (size > INT_MAX)
            return false;
        while (pending.size() < static_cast<size_t>(size)) {
            // The connection ended inside the chunk's data: the body is incomplete.
            if (!AppendBlock(pending))
                return false;
        }
        out.append(pending, 0, static_cast<size_t>(size));
        pending.erase(0, static_cast<size_t>(size));
        size_t dataEnd = FindLineBreakAppending(pending);
        if (dataEnd == std::string::npos)
            return false;
        pending.erase(dataEnd, 2);
        if (pending.empty() && !AppendBlock(pending))
            return false;
    }
    return false;
}

void CHttpAgent::ClearResponse()
{
    m_statusLine.clear();
    m_responseHeaders.clear();
    m_rawHeader.clear();
    m_leftover.clear();
}
