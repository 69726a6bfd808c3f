#include "installer/component_download.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

#include "package/conversion_pool.h"

namespace {

// Answers one connection after another on 127.0.0.1 with prepared responses, recording each
// request. The component download makes two requests to the same port.
class SequentialServer {
public:
    explicit SequentialServer(std::vector<std::string> responses) : m_responses(std::move(responses))
    {
        m_listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        listen(m_listener, 4);
        m_thread = std::thread([this] { Serve(); });
    }
    ~SequentialServer()
    {
        shutdown(m_listener, SHUT_RDWR);
        close(m_listener);
        m_thread.join();
    }
    int Port() const { return m_port; }
    std::vector<std::string> requests;

private:
    void Serve()
    {
        for (const std::string& response : m_responses) {
            int connection = accept(m_listener, nullptr, nullptr);
            if (connection < 0)
                return;
            std::string request;
            char buffer[1024];
            while (request.find("\r\n\r\n") == std::string::npos) {
                ssize_t n = recv(connection, buffer, sizeof buffer, 0);
                if (n <= 0)
                    break;
                request.append(buffer, static_cast<size_t>(n));
            }
            requests.push_back(request);
            send(connection, response.data(), response.size(), MSG_NOSIGNAL);
            close(connection);
        }
    }

    std::vector<std::string> m_responses;
    int m_listener = -1;
    int m_port = 0;
    std::thread m_thread;
};

class RecordingHost : public ComponentHost {
public:
    std::vector<std::wstring> statuses;
    std::vector<std::wstring> events;
    bool wow64 = true;
    bool answer = false;
    int cancelAfterNotices = -1;  // cancel once this many notices were seen
    std::string setupPath = "/tmp/qv-component-" + std::to_string(getpid()) + ".exe";

    ~RecordingHost() override { std::remove(setupPath.c_str()); }
    void SetStatus(const std::wstring& text) override { statuses.push_back(text); }
    void HideCancelButton() override { events.push_back(L"hide cancel"); }
    bool IsCancelRequested() override
    {
        ++m_notices;
        return cancelAfterNotices >= 0 && m_notices > cancelAfterNotices;
    }
    bool IsWow64() override { return wow64; }
    std::wstring SetupPath() override { return Widen(setupPath, kCodePageUtf8); }
    void LeaveTopmost() override { events.push_back(L"leave topmost"); }
    void RunAndWait(const std::wstring& path) override
    {
        std::ifstream in(Narrow(path, kCodePageUtf8), std::ios::binary);
        ranBytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        events.push_back(L"run");
    }
    bool AskForWebPage(const std::wstring& text, const std::wstring& caption) override
    {
        events.push_back(L"ask " + caption + L": " + text);
        return answer;
    }
    void OpenWebPage(const std::wstring& address) override { events.push_back(L"open " + address); }
    void RemoveFile(const std::wstring& path) override
    {
        deletedExisting = std::remove(Narrow(path, kCodePageUtf8).c_str()) == 0;
        events.push_back(L"delete");
    }
    void CompleteInstall() override { events.push_back(L"complete"); }

    std::string ranBytes;
    bool deletedExisting = false;

private:
    int m_notices = 0;
};

const std::wstring kQuestion =
    L"ask 提示: Varnholt手机助手需要iTunes组件才可以发现和管理您的设备，您是否要立即到苹果官网下载iTunes组件？";

ComponentDownloadSettings Settings(int port)
{
    ComponentDownloadSettings settings;
    settings.redirectHost = L"127.0.0.1";
    settings.port = port;
    settings.webPage = L"http://www.apple.com/itunes/download/";
    return settings;
}

std::string Redirect(const std::string& location)
{
    return "HTTP/1.1 302 Found\r\nLocation: " + location + "\r\nContent-Length: 0\r\n\r\n";
}

std::string Ok(const std::string& body)
{
    return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

TEST(ComponentDownload, FollowsTheRedirectDownloadsRunsAndCompletes)
{
    const std::string installer = std::string("MZ stand-in installer ") + std::string(20000, 'i');
    SequentialServer server({Redirect("http://127.0.0.1/apple/iTunes64Setup.exe"), Ok(installer)});
    RecordingHost host;
    EXPECT_EQ(RunComponentDownload(host, Settings(server.Port())), 0);

    ASSERT_EQ(server.requests.size(), 2u);
    EXPECT_EQ(server.requests[0],
              "GET /redirect/itunesdl.php?sys=1&langid=1&bit=64 HTTP/1.1\r\nAccept: */*\r\nConnection: keep-alive\r\n"
              "Host: 127.0.0.1\r\nUser-Agent: CHttpAgent\r\n\r\n");
    EXPECT_EQ(server.requests[1].substr(0, server.requests[1].find("\r\n")), "GET /apple/iTunes64Setup.exe HTTP/1.1");
    EXPECT_EQ(host.ranBytes, installer);
    EXPECT_EQ(host.events, (std::vector<std::wstring>{L"hide cancel", L"leave topmost", L"run", L"delete", L"complete"}));
    ASSERT_GE(host.statuses.size(), 2u);
    EXPECT_EQ(host.statuses.front(), L"正在下载必需组件iTunes: 0% ...");
    EXPECT_EQ(host.statuses[host.statuses.size() - 2], L"正在下载必需组件iTunes: 100% ...");
    EXPECT_EQ(host.statuses.back(), L"正在安装iTunes组件, 请耐心等候...");
    // A notice with an unchanged percentage does not touch the label.
    for (size_t i = 1; i + 1 < host.statuses.size(); ++i)
        EXPECT_NE(host.statuses[i], host.statuses[i - 1]);
    EXPECT_TRUE(host.deletedExisting) << "the installer is deleted once it has run";
}

TEST(ComponentDownload, FailedDownloadsAskAboutTheWebPageAndStillComplete)
{
    struct {
        const char* what;
        std::vector<std::string> responses;
        bool answer;
    } cases[] = {
        {"200 instead of a redirect", {Ok("x")}, true},
        {"secure redirect", {Redirect("https://127.0.0.1/a.exe")}, false},
        {"no location", {"HTTP/1.1 302 Found\r\nContent-Length: 0\r\n\r\n"}, false},
        {"second answer not 200", {Redirect("http://127.0.0.1/a.exe"), "HTTP/1.1 404 Not Found\r\n\r\n"}, false},
        {"no Content-Length", {Redirect("http://127.0.0.1/a.exe"), "HTTP/1.1 200 OK\r\n\r\nbody"}, false},
        {"connection ends early", {Redirect("http://127.0.0.1/a.exe"), "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort"}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SequentialServer server(c.responses);
        RecordingHost host;
        host.answer = c.answer;
        host.wow64 = false;
        RunComponentDownload(host, Settings(server.Port()));
        std::vector<std::wstring> expected{L"hide cancel", kQuestion};
        if (c.answer)
            expected.push_back(L"open http://www.apple.com/itunes/download/");
        expected.push_back(L"delete");
        expected.push_back(L"complete");
        EXPECT_EQ(host.events, expected);
        EXPECT_NE(server.requests.at(0).find("bit=32 HTTP/1.1"), std::string::npos);
    }
}

TEST(ComponentDownload, CancellingDuringTheBodyDeletesThePartialFile)
{
    SequentialServer server({Redirect("http://127.0.0.1/a.exe"), Ok(std::string(300000, 'b'))});
    RecordingHost host;
    host.cancelAfterNotices = 1;
    RunComponentDownload(host, Settings(server.Port()));
    EXPECT_EQ(host.events, (std::vector<std::wstring>{L"hide cancel", kQuestion, L"delete", L"complete"}));
    EXPECT_TRUE(host.deletedExisting) << "the partial file was on disk and is gone";
}

TEST(ComponentDownload, NoServerIsAFailedDownload)
{
    int port;
    {
        SequentialServer server({});
        port = server.Port();
    }
    RecordingHost host;
    RunComponentDownload(host, Settings(port));
    EXPECT_EQ(host.events, (std::vector<std::wstring>{L"hide cancel", kQuestion, L"delete", L"complete"}));
}

TEST(ComponentDownload, AddressParts)
{
    EXPECT_EQ(UrlHostName(L"http://appldnld.apple.com/itunes/x.exe"), L"appldnld.apple.com");
    EXPECT_EQ(UrlHostName(L"http://user:pw@host.example:8080/a?b"), L"host.example");
    EXPECT_EQ(UrlHostName(L"http://host.example"), L"host.example");
    EXPECT_EQ(DownloadPath(L"http://appldnld.apple.com/itunes/x.exe", L"appldnld.apple.com"), L"/itunes/x.exe");
    EXPECT_EQ(DownloadPath(L"http://h.com/h.com/x", L"h.com"), L"//x");
    EXPECT_EQ(RedirectPath(true), L"/redirect/itunesdl.php?sys=1&langid=1&bit=64");
    EXPECT_EQ(RedirectPath(false), L"/redirect/itunesdl.php?sys=1&langid=1&bit=32");
}

}  // namespace
