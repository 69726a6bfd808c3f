#include "net/http_agent.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "package/conversion_pool.h"
#include "scripted_server.h"

namespace {

namespace fs = std::filesystem;

const char kOkHeader[] = "HTTP/1.1 200 OK\r\n";

std::string Bytes(size_t count, unsigned seed = 1)
{
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<char>((i * 131 + seed * 17 + (i >> 9)) & 0xff);
    return bytes;
}

std::string Header(const std::string& lines)
{
    return kOkHeader + lines + "\r\n";
}

std::string LengthHeader(size_t length)
{
    return Header("Content-Length: " + std::to_string(length) + "\r\n");
}

// Sets up a GET of "/" to the server and sends it.
::testing::AssertionResult SendGet(CHttpAgent& agent, const ScriptedServer& server)
{
    if (!agent.SetRequest("127.0.0.1", server.Port(), "GET", "/", "HTTP/1.1"))
        return ::testing::AssertionFailure() << "SetRequest failed";
    if (!agent.SendRequest())
        return ::testing::AssertionFailure() << "SendRequest failed";
    return ::testing::AssertionSuccess();
}

class ScratchFolder {
public:
    ScratchFolder()
    {
        char pattern[] = "/tmp/http-agent-test-XXXXXX";
        m_path = mkdtemp(pattern);
    }
    ~ScratchFolder() { fs::remove_all(m_path); }
    std::string operator/(const std::string& name) const { return (m_path / name).string(); }

private:
    fs::path m_path;
};

std::wstring Wide(const std::string& path)
{
    return Widen(path, kCodePageUtf8);
}

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Notice {
    int percent;
    uint32_t speed;
    bool hasData;
    std::string data;
    int64_t received;
    int64_t total;
};

// Records every notice of a body reader; answers 0 (cancel) to the notice numbered cancelAt.
struct Recorder {
    std::vector<Notice> notices;
    size_t cancelAt = SIZE_MAX;

    static int Callback(int percent, uint32_t speed, const char* data, int size, int64_t received, int64_t total,
                        void* user)
    {
        Recorder* self = static_cast<Recorder*>(user);
        self->notices.push_back({percent, speed, data != nullptr,
                                 data != nullptr ? std::string(data, static_cast<size_t>(size)) : std::string(),
                                 received, total});
        if (data == nullptr && size != 0)
            ADD_FAILURE() << "a notice without data has size " << size;
        return self->notices.size() - 1 == self->cancelAt ? 0 : 1;
    }

    std::string DataReceived() const
    {
        std::string all;
        for (const Notice& n : notices)
            all += n.data;
        return all;
    }
};

void ExpectStartNotice(const Notice& notice, int64_t total)
{
    EXPECT_EQ(notice.percent, 0);
    EXPECT_EQ(notice.speed, 0u);
    EXPECT_FALSE(notice.hasData);
    EXPECT_EQ(notice.received, 0);
    EXPECT_EQ(notice.total, total);
}

void ExpectFailureNotice(const Notice& notice, int64_t received, int64_t total)
{
    EXPECT_EQ(notice.percent, -1);
    EXPECT_EQ(notice.speed, 0u);
    EXPECT_FALSE(notice.hasData);
    EXPECT_EQ(notice.received, received);
    EXPECT_EQ(notice.total, total);
}

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// ---- The request ----

TEST(HttpAgentRequest, SendsTheRequestLineAndHeadersSortedByName)
{
    ScriptedServer server;
    server.Send("HTTP/1.1 204 No Content\r\n\r\n");
    server.Start();

    CHttpAgent agent;
    ASSERT_TRUE(agent.SetRequest("127.0.0.1", server.Port(), "GET", "/redirect/itunesdl.php?sys=1&langid=1&bit=32",
                                 "HTTP/1.1"));
    EXPECT_TRUE(agent.AddHeader("User-Agent", "CHttpAgent"));
    EXPECT_TRUE(agent.AddHeader("Host", "%s:%d", "example.test", 80));
    EXPECT_TRUE(agent.AddHeader("Connection", "keep-alive"));
    EXPECT_TRUE(agent.AddHeader("Accept", "text/html"));
    // A later value replaces the earlier one; names are case-sensitive, so "accept" is another
    // header and sorts after every upper-case name.
    EXPECT_TRUE(agent.AddHeader("Accept", "%s", "*/*"));
    EXPECT_TRUE(agent.AddHeader("accept", "%d%%", 5));
    EXPECT_TRUE(agent.AddHeader("X-Empty", "%s", ""));
    EXPECT_FALSE(agent.AddHeader("", "x"));
    EXPECT_FALSE(agent.AddHeader(nullptr, "x"));
    EXPECT_FALSE(agent.AddHeader("X-No-Format", ""));
    EXPECT_FALSE(agent.AddHeader("X-No-Format", nullptr));
    ASSERT_TRUE(agent.SendRequest());
    ASSERT_TRUE(agent.ReceiveHeader());
    EXPECT_EQ(agent.GetStatusCode(), 204);
    agent.Close();
    server.Join();

    EXPECT_EQ(server.Request(),
              "GET /redirect/itunesdl.php?sys=1&langid=1&bit=32 HTTP/1.1\r\n"
              "Accept: */*\r\n"
              "Connection: keep-alive\r\n"
              "Host: example.test:80\r\n"
              "User-Agent: CHttpAgent\r\n"
              "X-Empty: \r\n"
              "accept: 5%\r\n"
              "\r\n");
}

TEST(HttpAgentRequest, WideOperationsSendAndReadTheSameBytes)
{
    // Natively the ANSI code page is UTF-8; the code page 936 path is the conversion helpers'.
    ScriptedServer server;
    server.Send(Header("X-Name: \xe6\x89\x8b\xe6\x9c\xba\r\n"));
    server.Start();

    CHttpAgent agent;
    ASSERT_TRUE(agent.SetRequestW(L"127.0.0.1", server.Port(), L"GET", L"/\u6570\u636e", L"HTTP/1.1"));
    EXPECT_TRUE(agent.AddHeaderW(L"Host", L"%ls", L"example.test"));
    EXPECT_TRUE(agent.AddHeaderW(L"X-Count", L"%d-%ls", 42, L"\u624b"));
    EXPECT_FALSE(agent.AddHeaderW(L"", L"x"));
    EXPECT_FALSE(agent.AddHeaderW(L"X-No-Format", L""));
    ASSERT_TRUE(agent.SendRequest());
    ASSERT_TRUE(agent.ReceiveHeader());
    std::wstring value = L"stale";
    EXPECT_EQ(agent.GetHeaderW(value, L"x-NAME"), L"\u624b\u673a");
    EXPECT_EQ(&agent.GetHeaderW(value, L"X-Name"), &value);
    EXPECT_EQ(agent.GetHeaderW(value, L""), L"");
    EXPECT_EQ(agent.GetHeaderW(value, L"X-Missing"), L"");
    agent.Close();
    server.Join();

    EXPECT_EQ(server.Request(),
              "GET /\xe6\x95\xb0\xe6\x8d\xae HTTP/1.1\r\n"
              "Host: example.test\r\n"
              "X-Count: 42-\xe6\x89\x8b\r\n"
              "\r\n");
}

TEST(HttpAgentRequest, ConnectAndSendSendsTheDataVerbatimAndResetsTheRequest)
{
    ScriptedServer server;
    server.Send("HTTP/1.1 302 Found\r\nLocation: http://b.test/x\r\n\r\n");
    server.Start();

    CHttpAgent agent;
    ASSERT_TRUE(agent.SetRequest("127.0.0.1", 1, "POST", "/old", "HTTP/1.1"));
    ASSERT_TRUE(agent.AddHeader("X-Old", "1"));
    const std::string raw("HEAD /raw\0bytes HTTP/1.0\r\nX: y\r\n\r\n", 34);
    ASSERT_TRUE(agent.ConnectAndSend("127.0.0.1", server.Port(), raw));
    ASSERT_TRUE(agent.ReceiveHeader());
    EXPECT_EQ(agent.GetStatusCode(), 302);
    EXPECT_STREQ(agent.GetHeader("location"), "http://b.test/x");
    agent.Close();
    server.Join();
    EXPECT_EQ(server.Request(), raw);

    // The request of before is gone with it: there is nothing for SendRequest to send.
    EXPECT_FALSE(agent.SendRequest());
}

TEST(HttpAgentRequest, SetRequestRefusesMissingPartsAndForgetsThePreviousResponse)
{
    ScriptedServer server;
    server.Send(Header("Location: http://a.test/\r\n"));
    server.Start();
    CHttpAgent agent;
    ASSERT_TRUE(SendGet(agent, server));
    ASSERT_TRUE(agent.ReceiveHeader());
    ASSERT_STREQ(agent.GetHeader("Location"), "http://a.test/");

    const char* good = "x";
    struct {
        const char* host;
        const char* method;
        const char* path;
        const char* version;
    } cases[] = {
        {"", good, good, good},      {nullptr, good, good, good}, {good, "", good, good},
        {good, nullptr, good, good}, {good, good, "", good},      {good, good, nullptr, good},
        {good, good, good, ""},      {good, good, good, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(agent.SetRequest(c.host, 80, c.method, c.path, c.version));
        EXPECT_STREQ(agent.GetHeader("Location"), "");
        EXPECT_EQ(agent.GetStatusCode(), 404);
        std::string raw = "stale";
        EXPECT_FALSE(agent.GetRawHeader(raw));
        EXPECT_EQ(raw, "");
        // Nothing is sent for a request that was refused, not even to the host of before.
        EXPECT_FALSE(agent.SendRequest());
    }
    server.Join();
}

TEST(HttpAgentRequest, RefusedConnectionFailsAndHostNamesAreLookedUp)
{
    CHttpAgent agent;
    ASSERT_TRUE(agent.SetRequest("127.0.0.1", UnusedLoopbackPort(), "GET", "/", "HTTP/1.1"));
    EXPECT_FALSE(agent.SendRequest());
    EXPECT_FALSE(agent.ReceiveHeader());
    EXPECT_FALSE(agent.ConnectAndSend("127.0.0.1", UnusedLoopbackPort(), "x"));

    ScriptedServer server;
    server.Send("HTTP/1.1 200 OK\r\n\r\n");
    server.Start();
    ASSERT_TRUE(agent.SetRequest("localhost", server.Port(), "GET", "/", "HTTP/1.1"));
    EXPECT_TRUE(agent.SendRequest());
    EXPECT_TRUE(agent.ReceiveHeader());
    EXPECT_EQ(agent.GetStatusCode(), 200);
    agent.Close();
    server.Join();
}

// ---- The response header ----

TEST(HttpAgentHeader, StatusCodeIsTheTextBetweenTheFirstTwoSpaces)
{
    struct {
        const char* statusLine;
        int code;
    } cases[] = {
        {"HTTP/1.1 200 OK", 200},
        {"HTTP/1.0 503 Service Unavailable", 503},
        {"HTTP/1.1 302 ", 302},
        // Without a reason phrase there is no second space.
        {"HTTP/1.1 200", 404},
        {"HTTP/1.1", 404},
        {"", 404},
        {"HTTP/1.1 abc OK", 0},
        {"HTTP/1.1  200 OK", 0},
        {"HTTP/1.1 99999999999 Big", INT_MAX},
    };
    for (const auto& c : cases) {
        ScriptedServer server;
        server.Send(std::string(c.statusLine) + "\r\nX: y\r\n\r\n");
        server.Start();
        CHttpAgent agent;
        ASSERT_TRUE(SendGet(agent, server));
        ASSERT_TRUE(agent.ReceiveHeader()) << c.statusLine;
        EXPECT_EQ(agent.GetStatusCode(), c.code) << c.statusLine;
        agent.Close();
    }
    // Before any response there is no status line at all.
    CHttpAgent fresh;
    EXPECT_EQ(fresh.GetStatusCode(), 404);
}

TEST(HttpAgentHeader, NamesInAnyCaseOnlySpacesTrimmedLaterLinesWin)
{
    const std::string raw = "HTTP/1.1 302 Moved\r\n"
                            "content-LENGTH: 7\r\n"
                            "Location: http://first.test/a\r\n"
                            "  X-Spaced  :   Mixed Case Value  \r\n"
                            "\tX-Tab\t:\tvalue\t\r\n"
                            "location:http://second.test:8080/b\r\n"
                            "Line without colon\r\n"
                            ": no name\r\n"
                            "   : blank name\r\n"
                            "X-Empty:\r\n"
                            "\r\n";
    ScriptedServer server;
    server.Send(raw + "1234567");
    server.Start();
    CHttpAgent agent;
    ASSERT_TRUE(SendGet(agent, server));
    ASSERT_TRUE(agent.ReceiveHeader());

    EXPECT_EQ(agent.GetStatusCode(), 302);
    EXPECT_EQ(agent.GetContentLength(), 7);
    EXPECT_STREQ(agent.GetHeader("Content-Length"), "7");
    EXPECT_STREQ(agent.GetHeader("LOCATION"), "http://second.test:8080/b");
    EXPECT_STREQ(agent.GetHeader("x-spaced"), "Mixed Case Value");
    EXPECT_STREQ(agent.GetHeader("X-Tab"), "");
    EXPECT_STREQ(agent.GetHeader("\tx-TAB\t"), "\tvalue\t");
    EXPECT_STREQ(agent.GetHeader("X-Empty"), "");
    EXPECT_STREQ(agent.GetHeader("Line without colon"), "");
    EXPECT_STREQ(agent.GetHeader(""), "");
    EXPECT_STREQ(agent.GetHeader(nullptr), "");
    std::string header;
    EXPECT_TRUE(agent.GetRawHeader(header));
    EXPECT_EQ(header, raw);
    // The header is received once per request.
    EXPECT_FALSE(agent.ReceiveHeader());
    std::string body;
    EXPECT_TRUE(agent.ReceiveBody(body));
    EXPECT_EQ(body, "1234567");
    agent.Close();
    server.Join();
}

TEST(HttpAgentHeader, ContentLengthReadsLikeADecimalNumber)
{
    struct {
        const char* value;
        int64_t length;
    } cases[] = {
        {"123", 123}, {"8589934592", 8589934592LL}, {"12abc", 12}, {"abc", 0}, {"-5", -5}, {"", 0},
    };
    for (const auto& c : cases) {
        ScriptedServer server;
        server.Send(Header(std::string("Content-Length: ") + c.value + "\r\n"));
        server.Start();
        CHttpAgent agent;
        ASSERT_TRUE(SendGet(agent, server));
        ASSERT_TRUE(agent.ReceiveHeader());
        EXPECT_EQ(agent.GetContentLength(), c.length) << c.value;
        agent.Close();
    }
}

// The same response cut into pieces in different ways; each piece is one receive of the client.
TEST(HttpAgentHeader, SplitOverReceivesOrArrivingWithBodyBytesParsesTheSame)
{
    const std::string header = "HTTP/1.1 200 OK\r\nContent-Length: 26\r\nX-Kind: split\r\n\r\n";
    const std::string body = "abcdefghijklmnopqrstuvwxyz";
    const size_t end = header.size();
    struct {
        const char* name;
        std::vector<size_t> cuts;  // offsets into header + body where a new piece starts
        size_t firstBlock;         // size of the body block handed out first
    } cases[] = {
        {"header alone, body alone", {end}, 26},
        {"cut inside CR LF CR LF after CR", {end - 3, end}, 26},
        {"cut inside CR LF CR LF after CR LF", {end - 2, end}, 26},
        {"cut inside CR LF CR LF before the last LF", {end - 1, end}, 26},
        {"header with the first body bytes", {end + 5}, 5},
        {"header cut, last piece with the first body bytes", {10, 20, end + 1}, 1},
        {"everything in one piece", {}, 26},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string all = header + body;
        ScriptedServer server;
        size_t from = 0;
        for (size_t cut : c.cuts) {
            server.Send(all.substr(from, cut - from));
            from = cut;
        }
        server.Send(all.substr(from));
        server.Start();

        CHttpAgent agent;
        ASSERT_TRUE(SendGet(agent, server));
        ASSERT_TRUE(agent.ReceiveHeader());
        std::string raw;
        EXPECT_TRUE(agent.GetRawHeader(raw));
        EXPECT_EQ(raw, header);
        EXPECT_EQ(agent.GetStatusCode(), 200);
        EXPECT_STREQ(agent.GetHeader("x-kind"), "split");
        Recorder recorder;
        EXPECT_TRUE(agent.ReceiveWithCallback(&Recorder::Callback, &recorder));
        ASSERT_GE(recorder.notices.size(), 2u);
        EXPECT_EQ(recorder.notices[1].data, body.substr(0, c.firstBlock));
        EXPECT_EQ(recorder.DataReceived(), body);
        agent.Close();
    }
}

TEST(HttpAgentHeader, HeaderByteByByteAndHeaderLongerThanOneReceive)
{
    std::string lines;
    for (int i = 0; i < 300; ++i)
        lines += "X-Filler-" + std::to_string(i) + ": " + std::string(30, 'a' + i % 26) + "\r\n";
    const std::string longHeader = Header(lines + "X-Last: end\r\n");
    ASSERT_GT(longHeader.size(), 3u * CHttpAgent::kHeaderReceiveSize);
    const std::string shortHeader = Header("X-Last: end\r\n");

    for (bool byteByByte : {true, false}) {
        ScriptedServer server;
        if (byteByByte)
            server.SendByteByByte(shortHeader);
        else
            server.Send(longHeader);
        server.Start();
        CHttpAgent agent;
        ASSERT_TRUE(SendGet(agent, server));
        ASSERT_TRUE(agent.ReceiveHeader());
        EXPECT_STREQ(agent.GetHeader("X-Last"), "end");
        std::string raw;
        agent.GetRawHeader(raw);
        EXPECT_EQ(raw, byteByByte ? shortHeader : longHeader);
        agent.Close();
    }
}

TEST(HttpAgentHeader, EndlessHeaderStopsAtTheBound)
{
    // Without the bound the client would read all of the 32 MiB and then wait out its timeout.
    const size_t limit = 32u << 20;
    ScriptedServer server;
    server.Send("HTTP/1.1 200 OK\r\n").SendEndless("X-Filler: aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\r\n", limit);
    server.Start();
    CHttpAgent agent;
    ASSERT_TRUE(SendGet(agent, server));
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(agent.ReceiveHeader());
    EXPECT_LT(SecondsSince(start), 10.0);
    std::string raw;
    EXPECT_FALSE(agent.GetRawHeader(raw));
    EXPECT_EQ(agent.GetStatusCode(), 404);
    agent.Close();
    server.Join();
    EXPECT_LT(server.EndlessBytesSent(), limit);
}

TEST(HttpAgentHeader, ConnectionEndingOrFallingSilentBeforeTheBlankLineFails)
{
    for (bool silent : {false, true}) {
        ScriptedServer server;
        server.Send("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n");
        if (silent)
            server.Hold();
        server.Start();
        CHttpAgent agent;
        EXPECT_TRUE(agent.SetTimeout(1));
        ASSERT_TRUE(SendGet(agent, server));
        auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(agent.ReceiveHeader());
        if (silent) {
            EXPECT_GE(SecondsSince(start), 0.9);
            EXPECT_LT(SecondsSince(start), 10.0);
        }
        EXPECT_EQ(agent.GetContentLength(), 0);
        agent.Close();
    }
}

// ---- Bodies in memory ----

struct BodyCase {
    const char* name;
    std::string header;
    std::vector<std::string> pieces;
    bool ok;
    std::string body;
};

TEST(HttpAgentBody, ReceiveBodyByLengthOrChunks)
{
    const std::string chunked = Header("Transfer-Encoding: chunked\r\n");
    const std::string letters = "abcdefghijklmnopqrstuvwxyz";
    const BodyCase cases[] = {
        {"length", LengthHeader(5), {"hello"}, true, "hello"},
        {"length over pieces", LengthHeader(11), {"hello", " ", "world"}, true, "hello world"},
        {"length cut short keeps what came", LengthHeader(10), {"abcd"}, false, "abcd"},
        {"length wins over chunked", Header("Transfer-Encoding: chunked\r\nContent-Length: 5\r\n"), {"hello"}, true,
         "hello"},
        {"chunked", chunked, {"5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n"}, true, "hello world"},
        {"chunked in any case", Header("transfer-encoding: CHunKED\r\n"), {"3\r\nabc\r\n0\r\n\r\n"}, true, "abc"},
        {"chunk extension after the size", chunked, {"1a;name=value\r\n" + letters + "\r\n0\r\n\r\n"}, true,
         letters},
        {"upper-case hex and a zero length", Header("Transfer-Encoding: chunked\r\nContent-Length: 0\r\n"),
         {"A\r\n0123456789\r\n0\r\n\r\n"}, true, "0123456789"},
        {"chunked split everywhere", chunked, {"5", "\r", "\nhel", "lo", "\r", "\n", "6\r\n wor", "ld\r\n0\r\n\r\n"}, true,
         "hello world"},
        {"chunk data containing CR LF", chunked, {"4\r\n\r\n\r\n\r\n0\r\n\r\n"}, true, "\r\n\r\n"},
        {"zero chunk only", chunked, {"0\r\n\r\n"}, false, ""},
        {"another coding before chunked", Header("Transfer-Encoding: gzip, chunked\r\n"), {"3\r\nabc\r\n0\r\n\r\n"},
         false, ""},
        {"delimited by the end of the connection", Header(""), {"hello"}, false, ""},
        {"negative length", Header("Content-Length: -5\r\n"), {"hello"}, false, ""},
        {"connection ends inside a chunk", chunked, {"10\r\nabc"}, false, ""},
        // The partial data holds a line break and then an empty line that would read as the
        // last chunk if the partial data were scanned for the next size line.
        {"connection ends inside a second chunk", chunked, {"3\r\nabc\r\n9\r\nxy\r\n\r\n"}, false, "abc"},
        {"connection ends before the last chunk", chunked, {"5\r\nhello\r\n"}, false, "hello"},
        {"size beyond the int range after data", chunked, {"5\r\nhello\r\nffffffff\r\nxyz"}, false, "hello"},
    };
    for (const BodyCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server;
        server.Send(c.header);
        for (const std::string& piece : c.pieces)
            server.Send(piece);
        server.Start();
        CHttpAgent agent;
        ASSERT_TRUE(SendGet(agent, server));
        ASSERT_TRUE(agent.ReceiveHeader());
        std::string body = "stale";
        EXPECT_EQ(agent.ReceiveBody(body), c.ok);
        EXPECT_EQ(body, c.body);
        agent.Close();
    }
}

TEST(HttpAgentBody, EndlessChunkLineStopsAtTheBound)
{
    // One size line that never ends, and one chunk whose data is followed by no line break.
    const size_t limit = 32u << 20;
    for (const char* prefix : {"", "5\r\nhello"}) {
        SCOPED_TRACE(prefix);
        ScriptedServer server;
        server.Send(Header("Transfer-Encoding: chunked\r\n") + prefix).SendEndless(std::string(1000, 'a'), limit);
        server.Start();
        CHttpAgent agent;
        ASSERT_TRUE(SendGet(agent, server));
        ASSERT_TRUE(agent.ReceiveHeader());
        auto start = std::chrono::steady_clock::now();
        std::string body;
        EXPECT_FALSE(agent.ReceiveBody(body));
        EXPECT_LT(SecondsSince(start), 10.0);
        agent.Close();
        server.Join();
        EXPECT_LT(server.EndlessBytesSent(), limit);
    }
}

TEST(HttpAgentBody, BufferSizeBoundsAndTheBlocksItGives)
{
    CHttpAgent agent;
    EXPECT_TRUE(agent.SetBufferSize(2097152));
    EXPECT_FALSE(agent.SetBufferSize(2097153));
    EXPECT_FALSE(agent.SetBufferSize(0));
    EXPECT_FALSE(agent.SetBufferSize(-1));
    EXPECT_TRUE(agent.SetBufferSize(1000));
    EXPECT_FALSE(agent.SetBufferSize(2097153));  // and 1000 stays

    const std::string body = Bytes(5500);
    ScriptedServer server;
    server.Send(LengthHeader(body.size())).Send(body);
    server.Start();
    ASSERT_TRUE(SendGet(agent, server));
    ASSERT_TRUE(agent.ReceiveHeader());
    Recorder recorder;
    EXPECT_TRUE(agent.ReceiveWithCallback(&Recorder::Callback, &recorder));
    EXPECT_EQ(recorder.DataReceived(), body);
    ASSERT_EQ(recorder.notices.size(), 7u);  // the start notice and six blocks
    for (size_t i = 1; i < recorder.notices.size(); ++i)
        EXPECT_EQ(recorder.notices[i].data.size(), i < 6 ? 1000u : 500u);
    agent.Close();
    server.Join();

    // The largest block size is usable, not just accepted.
    const std::string large = Bytes(3u << 20, 2);
    ScriptedServer largeServer;
    largeServer.Send(LengthHeader(large.size())).Send(large);
    largeServer.Start();
    ASSERT_TRUE(agent.SetBufferSize(2097152));
    ASSERT_TRUE(SendGet(agent, largeServer));
    ASSERT_TRUE(agent.ReceiveHeader());
    std::string out;
    EXPECT_TRUE(agent.ReceiveBody(out));
    EXPECT_TRUE(out == large);
    agent.Close();
}

// ---- Downloads and callbacks ----

TEST(HttpAgentDownload, FileAndCallbackReceiveEveryBlockWithItsProgress)
{
    const std::string body = Bytes(10000);
    ScratchFolder scratch;
    for (bool toFile : {true, false}) {
        SCOPED_TRACE(toFile ? "DownloadToFile" : "ReceiveWithCallback");
        ScriptedServer server;
        // The first 100 body bytes come with the header and must be handed out first.
        server.Send(LengthHeader(body.size()) + body.substr(0, 100)).Send(body.substr(100, 4000)).Send(body.substr(4100));
        server.Start();
        CHttpAgent agent;
        ASSERT_TRUE(agent.SetBufferSize(1500));
        ASSERT_TRUE(SendGet(agent, server));
        ASSERT_TRUE(agent.ReceiveHeader());
        Recorder recorder;
        const std::string path = scratch / "download.bin";
        if (toFile) {
            EXPECT_TRUE(agent.DownloadToFile(Wide(path).c_str(), &Recorder::Callback, &recorder));
        } else {
            EXPECT_TRUE(agent.ReceiveWithCallback(&Recorder::Callback, &recorder));
        }

        ASSERT_GE(recorder.notices.size(), 3u);
        ExpectStartNotice(recorder.notices[0], 10000);
        EXPECT_EQ(recorder.notices[1].data, body.substr(0, 100));
        int64_t received = 0;
        for (size_t i = 1; i < recorder.notices.size(); ++i) {
            const Notice& n = recorder.notices[i];
            EXPECT_TRUE(n.hasData);
            EXPECT_LE(n.data.size(), 1500u);
            received += static_cast<int64_t>(n.data.size());
            EXPECT_EQ(n.received, received);
            EXPECT_EQ(n.total, 10000);
            EXPECT_EQ(n.percent, received * 100 / 10000);
        }
        EXPECT_EQ(recorder.notices.back().percent, 100);
        EXPECT_EQ(recorder.DataReceived(), body);
        if (toFile) {
            EXPECT_TRUE(FileBytes(path) == body);
        }
        agent.Close();
    }
}

TEST(HttpAgentDownload, DownloadWithoutCallbackWritesTheFile)
{
    const std::string body = Bytes(70000, 3);
    ScratchFolder scratch;
    ScriptedServer server;
    server.Send(LengthHeader(body.size())).Send(body);
    server.Start();
    CHttpAgent agent;
    ASSERT_TRUE(SendGet(agent, server));
    ASSERT_TRUE(agent.ReceiveHeader());
    // An existing file is replaced, not appended to.
    std::ofstream(scratch / "out.bin") << std::string(100000, 'x');
    EXPECT_TRUE(agent.DownloadToFile(Wide(scratch / "out.bin").c_str(), nullptr, nullptr));
    EXPECT_TRUE(FileBytes(scratch / "out.bin") == body);
    agent.Close();
}

TEST(HttpAgentDownload, EarlyCloseOrStallSendsTheFailureNoticeAndKeepsThePartialFile)
{
    ScratchFolder scratch;
    const std::string body = Bytes(300);
    for (bool stall : {false, true}) {
        SCOPED_TRACE(stall ? "stalled" : "closed");
        ScriptedServer server;
        server.Send(LengthHeader(1000)).Send(body);
        if (stall)
            server.Hold();
        server.Start();
        CHttpAgent agent;
        agent.SetTimeout(1);
        ASSERT_TRUE(SendGet(agent, server));
        ASSERT_TRUE(agent.ReceiveHeader());
        Recorder recorder;
        const std::string path = scratch / "partial.bin";
        auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(agent.DownloadToFile(Wide(path).c_str(), &Recorder::Callback, &recorder));
        if (stall) {
            EXPECT_GE(SecondsSince(start), 0.9);
        }
        ASSERT_GE(recorder.notices.size(), 3u);
        ExpectStartNotice(recorder.notices.front(), 1000);
        ExpectFailureNotice(recorder.notices.back(), 300, 1000);
        EXPECT_EQ(FileBytes(path), body);
        agent.Close();
    }
}

TEST(HttpAgentDownload, CancelStopsWithoutFailureNotice)
{
    ScratchFolder scratch;
    const std::string body = Bytes(3000);
    for (size_t cancelAt : {0u, 1u}) {
        SCOPED_TRACE(cancelAt);
        ScriptedServer server;
        server.Send(LengthHeader(body.size())).Send(body.substr(0, 1000)).Send(body.substr(1000));
        server.Start();
        CHttpAgent agent;
        ASSERT_TRUE(SendGet(agent, server));
        ASSERT_TRUE(agent.ReceiveHeader());
        const std::string path = scratch / ("cancel" + std::to_string(cancelAt));
        Recorder recorder;
        recorder.cancelAt = cancelAt;
        EXPECT_FALSE(agent.DownloadToFile(Wide(path).c_str(), &Recorder::Callback, &recorder));
        ASSERT_EQ(recorder.notices.size(), cancelAt + 1);
        if (cancelAt == 0) {
            // Cancelled on the start notice: the file was never created.
            EXPECT_FALSE(fs::exists(path));
        } else {
            EXPECT_EQ(recorder.notices[1].data, body.substr(0, 1000));
            EXPECT_EQ(FileBytes(path), body.substr(0, 1000));
        }
        agent.Close();

        // The callback reader cancels the same way.
        ScriptedServer again;
        again.Send(LengthHeader(body.size())).Send(body.substr(0, 1000)).Send(body.substr(1000));
        again.Start();
        ASSERT_TRUE(SendGet(agent, again));
        ASSERT_TRUE(agent.ReceiveHeader());
        Recorder second;
        second.cancelAt = cancelAt;
        EXPECT_FALSE(agent.ReceiveWithCallback(&Recorder::Callback, &second));
        EXPECT_EQ(second.notices.size(), cancelAt + 1);
        agent.Close();
    }
}

TEST(HttpAgentDownload, WithoutContentLengthNothingIsCalledOrCreated)
{
    ScratchFolder scratch;
    ScriptedServer server;
    server.Send(Header("Transfer-Encoding: chunked\r\n") + "3\r\nabc\r\n0\r\n\r\n");
    server.Start();
    CHttpAgent agent;
    ASSERT_TRUE(SendGet(agent, server));
    ASSERT_TRUE(agent.ReceiveHeader());
    Recorder recorder;
    EXPECT_FALSE(agent.DownloadToFile(Wide(scratch / "none.bin").c_str(), &Recorder::Callback, &recorder));
    EXPECT_FALSE(agent.ReceiveWithCallback(&Recorder::Callback, &recorder));
    EXPECT_TRUE(recorder.notices.empty());
    EXPECT_FALSE(fs::exists(scratch / "none.bin"));
    // ReceiveWithCallback needs a callback; the body is still there for another reader.
    EXPECT_FALSE(agent.ReceiveWithCallback(nullptr, nullptr));
    std::string body;
    EXPECT_TRUE(agent.ReceiveBody(body));
    EXPECT_EQ(body, "abc");
    agent.Close();
}

TEST(HttpAgentDownload, FileThatCannotBeWrittenFails)
{
    ScratchFolder scratch;
    const std::string body = Bytes(5000);
    struct {
        const char* name;
        std::string path;
        bool opens;  // a file that does not open gets only the start notice
    } cases[] = {
        {"missing folder", scratch / "missing/folder/file.bin", false},
        // Every write to /dev/full fails with "no space left", as on a full disk.
        {"full disk", "/dev/full", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server;
        server.Send(LengthHeader(body.size())).Send(body);
        server.Start();
        CHttpAgent agent;
        ASSERT_TRUE(SendGet(agent, server));
        ASSERT_TRUE(agent.ReceiveHeader());
        Recorder recorder;
        EXPECT_FALSE(agent.DownloadToFile(Wide(c.path).c_str(), &Recorder::Callback, &recorder));
        ASSERT_FALSE(recorder.notices.empty());
        ExpectStartNotice(recorder.notices.front(), 5000);
        if (!c.opens) {
            EXPECT_EQ(recorder.notices.size(), 1u);
        } else {
            ExpectFailureNotice(recorder.notices.back(), recorder.notices.back().received, 5000);
        }
        agent.Close();
    }
}

}  // namespace
