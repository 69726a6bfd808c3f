// The component download against servers that misbehave on purpose, on real loopback sockets:
// silent, endless, cut short, redirecting to themselves, never accepting. Whatever the server
// does, the worker must end within its waits, hold no more memory than its bounded buffers, ask
// about the web page, leave no downloaded file and complete the install exactly once.

#include "installer/component_download.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "package/conversion_pool.h"

namespace {

using Clock = std::chrono::steady_clock;

// What the server does with a connection once it has read the request.
enum class Behaviour {
    kRedirect,          // 302 to its own download path, as the real service does
    kRedirectToItself,  // 302 to the redirect path again
    kSilent,            // says nothing and keeps the connection open
    kEndlessHeader,     // a status line, then header lines without end
    kCutMidBody,        // a Content-Length, a part of the body, then closes
    kStallMidBody,      // a Content-Length, a part of the body, then falls silent
    kEndlessChunked,    // chunked coding, chunks without end
    kEndlessUnsized,    // no length at all, body bytes without end
    kEndlessSized,      // the largest Content-Length, body bytes without end
};

const char kSelfRedirect[] = "http://127.0.0.1/redirect/itunesdl.php?sys=1&langid=1&bit=64";
const char kDownload[] = "http://127.0.0.1/apple/iTunesSetup.exe";

// Listens on 127.0.0.1 and answers one connection after another: the first with the first
// behaviour, every later one with the second. Endless behaviours send until the client closes
// its end, until limit bytes have gone out, or until Stop. With NeverAccept it listens with a
// full queue and accepts nothing, so that a connect stays unanswered.
class HostileServer {
public:
    static constexpr size_t kEndlessLimit = size_t(256) << 20;

    HostileServer(Behaviour first, Behaviour later) : m_first(first), m_later(later) { Listen(1); }
    struct NeverAccept {};
    explicit HostileServer(NeverAccept)
    {
        Listen(0);
        // The first connection fills the queue of a listener with backlog 0; the next waits in
        // the system's SYN retries. Two more keep it full whatever the system allows.
        for (int i = 0; i < 3; ++i) {
            int filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            sockaddr_in address = Address(m_port);
            connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
            m_fillers.push_back(filler);
        }
    }
    ~HostileServer()
    {
        Stop();
        for (int filler : m_fillers)
            close(filler);
    }

    int Port() const { return m_port; }
    // Ends every wait of the server and closes the listener, which also refuses a connect that
    // is still waiting.
    void Stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_listener >= 0)
            close(m_listener);
        m_listener = -1;
    }
    std::vector<std::string> Requests()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }
    size_t BytesSent() const { return m_sent; }

private:
    static sockaddr_in Address(int port)
    {
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(port));
        return address;
    }

    void Listen(int backlog)
    {
        m_listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = Address(0);
        socklen_t length = sizeof address;
        if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(m_listener, backlog) != 0 ||
            getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            ADD_FAILURE() << "cannot listen on 127.0.0.1";
            return;
        }
        m_port = ntohs(address.sin_port);
        if (backlog > 0)
            m_thread = std::thread([this] { Serve(); });
    }

    // Waits in short steps so that Stop is seen; false on Stop.
    bool WaitFor(int fd, short events)
    {
        while (!m_stop) {
            pollfd entry = {fd, events, 0};
            int ready = poll(&entry, 1, 50);
            if (ready > 0)
                return true;
            if (ready < 0 && errno != EINTR)
                return false;
        }
        return false;
    }

    void Serve()
    {
        for (int index = 0; WaitFor(m_listener, POLLIN); ++index) {
            int connection = accept(m_listener, nullptr, nullptr);
            if (connection < 0)
                continue;
            std::string request;
            char buffer[1024];
            while (request.find("\r\n\r\n") == std::string::npos && WaitFor(connection, POLLIN)) {
                ssize_t n = recv(connection, buffer, sizeof buffer, 0);
                if (n <= 0)
                    break;
                request.append(buffer, static_cast<size_t>(n));
            }
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_requests.push_back(request);
            }
            Answer(connection, index == 0 ? m_first : m_later);
            close(connection);
        }
    }

    bool SendAll(int connection, const std::string& bytes)
    {
        for (size_t done = 0; done < bytes.size();) {
            if (!WaitFor(connection, POLLOUT))
                return false;
            ssize_t n = send(connection, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            done += static_cast<size_t>(n);
            m_sent += static_cast<size_t>(n);
        }
        return true;
    }

    // Sends the pattern again and again; the client's close ends it with a failed send.
    void SendEndless(int connection, const std::string& pattern)
    {
        while (m_sent < kEndlessLimit && SendAll(connection, pattern)) {
        }
    }

    // Until the client closes its end or Stop.
    void HoldUntilClosed(int connection)
    {
        char buffer[1024];
        while (WaitFor(connection, POLLIN) && recv(connection, buffer, sizeof buffer, 0) > 0) {
        }
    }

    void Answer(int connection, Behaviour behaviour)
    {
        const std::string part(300000, 'p');
        switch (behaviour) {
        case Behaviour::kRedirect:
        case Behaviour::kRedirectToItself:
            SendAll(connection, std::string("HTTP/1.1 302 Found\r\nLocation: ") +
                                    (behaviour == Behaviour::kRedirect ? kDownload : kSelfRedirect) +
                                    "\r\nContent-Length: 0\r\n\r\n");
            break;
        case Behaviour::kSilent:
            HoldUntilClosed(connection);
            break;
        case Behaviour::kEndlessHeader:
            SendAll(connection, "HTTP/1.1 200 OK\r\n");
            SendEndless(connection, "X-Filler: " + std::string(500, 'h') + "\r\n");
            break;
        case Behaviour::kCutMidBody:
            SendAll(connection, "HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\n\r\n" + part);
            break;
        case Behaviour::kStallMidBody:
            if (SendAll(connection, "HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\n\r\n" + part))
                HoldUntilClosed(connection);
            break;
        case Behaviour::kEndlessChunked:
            SendAll(connection, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
            SendEndless(connection, "1000\r\n" + std::string(0x1000, 'c') + "\r\n");
            break;
        case Behaviour::kEndlessUnsized:
            SendAll(connection, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
            SendEndless(connection, std::string(65536, 'u'));
            break;
        case Behaviour::kEndlessSized:
            SendAll(connection, "HTTP/1.1 200 OK\r\nContent-Length: 9223372036854775807\r\n\r\n");
            SendEndless(connection, std::string(65536, 's'));
            break;
        }
    }

    Behaviour m_first = Behaviour::kSilent;
    Behaviour m_later = Behaviour::kSilent;
    int m_listener = -1;
    int m_port = 0;
    std::vector<int> m_fillers;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<size_t> m_sent{0};
    std::mutex m_mutex;
    std::vector<std::string> m_requests;
};

// The process window and the system as the worker sees them, answering No to the question.
class DrillHost : public ComponentHost {
public:
    std::string setupPath = "/tmp/qv-hostile-" + std::to_string(getpid()) + ".exe";
    int cancelAfterNotices = -1;
    std::vector<std::wstring> events;
    int completions = 0;
    bool partialFileWasThere = false;

    ~DrillHost() override { std::remove(setupPath.c_str()); }
    void SetStatus(const std::wstring&) override {}
    void HideCancelButton() override { events.push_back(L"hide cancel"); }
    bool IsCancelRequested() override { return cancelAfterNotices >= 0 && ++m_notices > cancelAfterNotices; }
    bool IsWow64() override { return true; }
    std::wstring SetupPath() override { return Widen(setupPath, kCodePageUtf8); }
    void LeaveTopmost() override { events.push_back(L"leave topmost"); }
    void RunAndWait(const std::wstring&) override { events.push_back(L"run"); }
    bool AskForWebPage(const std::wstring&, const std::wstring&) override
    {
        events.push_back(L"ask");
        return false;
    }
    void OpenWebPage(const std::wstring&) override { events.push_back(L"open"); }
    void RemoveFile(const std::wstring& path) override
    {
        partialFileWasThere = std::remove(Narrow(path, kCodePageUtf8).c_str()) == 0;
        events.push_back(L"delete");
    }
    void CompleteInstall() override
    {
        ++completions;
        events.push_back(L"complete");
    }

private:
    int m_notices = 0;
};

// Kilobytes of a line of /proc/self/status ("VmRSS", "VmHWM"); -1 when it cannot be read.
long StatusKilobytes(const std::string& name)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, name.size() + 1, name + ":") == 0)
            return std::stol(line.substr(name.size() + 1));
    }
    return -1;
}

// Starts the peak (VmHWM) afresh from the current resident size, as far as the system allows.
void ResetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

constexpr int kTimeoutSeconds = 1;
// Far above the waits any of these runs should need, but well short of the program's 20 s
// timeout and of the system's own connect give-up (about two minutes on Linux).
constexpr auto kDeadline = std::chrono::seconds(12);

struct Drill {
    double seconds = 0;
    long peakGrowthKb = 0;
};

// Runs the worker on its own thread against the server. Should it still run at the deadline,
// the server is stopped so that it ends and the test can report instead of hanging.
Drill RunDrill(HostileServer& server, DrillHost& host)
{
    ComponentDownloadSettings settings;
    settings.redirectHost = L"127.0.0.1";
    settings.port = server.Port();
    settings.webPage = L"http://www.apple.com/itunes/download/";
    settings.timeoutSeconds = kTimeoutSeconds;

    ResetPeakMemory();
    const long before = StatusKilobytes("VmRSS");
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    const auto start = Clock::now();
    std::thread worker([&] {
        RunComponentDownload(host, settings);
        done.set_value();
    });
    if (finished.wait_for(kDeadline) != std::future_status::ready) {
        ADD_FAILURE() << "the worker still runs after " << kDeadline.count() << " s; stopping the server";
        server.Stop();
    }
    worker.join();
    Drill drill;
    drill.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    drill.peakGrowthKb = StatusKilobytes("VmHWM") - before;
    return drill;
}

// The worker's working set: an agent, a 4 KiB block at a time, a header of at most 64 KiB plus one
// receive. Everything the server sends beyond that must not stay in memory.
constexpr long kPeakGrowthLimitKb = 4096;

bool FileExists(const std::string& path)
{
    return std::ifstream(path).good();
}

struct HostileCase {
    const char* what;
    Behaviour first;
    Behaviour later;
    size_t requests;     // connections the worker makes
    bool waitsTimeout;   // the run ends only when a wait runs out
    bool wroteFile;      // part of a body reached the file before the failure
};

TEST(HostileDownload, EveryServerEndsInTheQuestionAndOneCompletion)
{
    const HostileCase cases[] = {
        {"accepts and never answers the redirect", Behaviour::kSilent, Behaviour::kSilent, 1, true, false},
        {"never answers the download", Behaviour::kRedirect, Behaviour::kSilent, 2, true, false},
        {"endless header on the redirect", Behaviour::kEndlessHeader, Behaviour::kSilent, 1, false, false},
        {"endless header on the download", Behaviour::kRedirect, Behaviour::kEndlessHeader, 2, false, false},
        {"closes mid-body", Behaviour::kRedirect, Behaviour::kCutMidBody, 2, false, true},
        {"falls silent mid-body", Behaviour::kRedirect, Behaviour::kStallMidBody, 2, true, true},
        // The second 302 is a failed download like any status but 200: no third request.
        {"redirects to itself", Behaviour::kRedirectToItself, Behaviour::kRedirectToItself, 2, false, false},
        {"endless chunked body", Behaviour::kRedirect, Behaviour::kEndlessChunked, 2, false, false},
        {"endless body without a length", Behaviour::kRedirect, Behaviour::kEndlessUnsized, 2, false, false},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.what);
        HostileServer server(c.first, c.later);
        DrillHost host;
        const Drill drill = RunDrill(server, host);
        server.Stop();
        std::printf("  %-40s %.2f s, peak +%ld KiB, server sent %zu bytes\n", c.what, drill.seconds,
                    drill.peakGrowthKb, server.BytesSent());

        EXPECT_EQ(host.events, (std::vector<std::wstring>{L"hide cancel", L"ask", L"delete", L"complete"}));
        EXPECT_EQ(host.completions, 1);
        EXPECT_FALSE(FileExists(host.setupPath)) << "a downloaded file stayed behind";
        EXPECT_EQ(host.partialFileWasThere, c.wroteFile);
        const std::vector<std::string> requests = server.Requests();
        ASSERT_EQ(requests.size(), c.requests);
        if (c.first == Behaviour::kRedirectToItself) {
            EXPECT_EQ(requests[1].substr(0, requests[1].find("\r\n")),
                      "GET /redirect/itunesdl.php?sys=1&langid=1&bit=64 HTTP/1.1");
        }
        if (c.waitsTimeout) {
            EXPECT_GE(drill.seconds, kTimeoutSeconds * 0.9);
        }
        EXPECT_LT(drill.seconds, kTimeoutSeconds + 3.0);
        EXPECT_LT(drill.peakGrowthKb, kPeakGrowthLimitKb);
    }
}

TEST(HostileDownload, AnEndlessBodyWithAHugeLengthFlowsThroughToTheFileUntilCancelled)
{
    // 64 MiB in 4 KiB blocks reach the file; the memory held must not grow with them.
    HostileServer server(Behaviour::kRedirect, Behaviour::kEndlessSized);
    DrillHost host;
    host.cancelAfterNotices = (64 << 20) / 4096;
    const Drill drill = RunDrill(server, host);
    server.Stop();
    std::printf("  endless sized body, cancelled: %.2f s, peak +%ld KiB, server sent %zu bytes\n", drill.seconds,
                drill.peakGrowthKb, server.BytesSent());
    EXPECT_EQ(host.events, (std::vector<std::wstring>{L"hide cancel", L"ask", L"delete", L"complete"}));
    EXPECT_EQ(host.completions, 1);
    EXPECT_TRUE(host.partialFileWasThere);
    EXPECT_FALSE(FileExists(host.setupPath));
    EXPECT_GE(server.BytesSent(), 64u << 20);
    EXPECT_LT(drill.peakGrowthKb, kPeakGrowthLimitKb);
}

TEST(HostileDownload, AListenerThatNeverAcceptsCostsNoMoreThanTheTimeout)
{
    HostileServer server{HostileServer::NeverAccept{}};
    DrillHost host;
    const Drill drill = RunDrill(server, host);
    std::printf("  never accepts: %.2f s\n", drill.seconds);
    EXPECT_EQ(host.events, (std::vector<std::wstring>{L"hide cancel", L"ask", L"delete", L"complete"}));
    EXPECT_EQ(host.completions, 1);
    EXPECT_LT(drill.seconds, kTimeoutSeconds + 3.0);
}

}  // namespace
