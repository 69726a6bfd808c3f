// A small command-line client for the download tests against real servers:
//
//     http_fetch file|body HOST PORT PATH OUTPUT [TIMEOUT]
//
// sends "GET PATH HTTP/1.1" with the headers the component download sends, prints the status
// line, the response headers that say how the body is delimited and what the progress callback
// saw, and stores the body in OUTPUT: "file" with DownloadToFile (the component download's way),
// "body" with ReceiveBody, which also reads chunked bodies. TIMEOUT replaces the agent's 20
// seconds for every wait. Exit code 0 when every step succeeded and the status was 200.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "net/http_agent.h"
#include "package/conversion_pool.h"
#include "package/file_io.h"

namespace {

struct Progress {
    int notices = 0;
    int lastPercent = -2;
    int64_t lastReceived = 0;
};

int OnProgress(int percent, uint32_t, const char*, int, int64_t received, int64_t, void* user)
{
    Progress* progress = static_cast<Progress*>(user);
    ++progress->notices;
    progress->lastPercent = percent;
    progress->lastReceived = received;
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 6 && argc != 7) {
        std::fprintf(stderr, "usage: http_fetch file|body HOST PORT PATH OUTPUT [TIMEOUT]\n");
        return 2;
    }
    const std::string mode = argv[1];
    const char* host = argv[2];
    const int port = std::atoi(argv[3]);

    // The request is built with the wide operations, as the component download builds it.
    const std::wstring wideHost = Widen(host, kCodePageAnsi);
    CHttpAgent agent;
    if (argc == 7)
        agent.SetTimeout(std::atoi(argv[6]));
    if (!agent.SetRequestW(wideHost.c_str(), port, L"GET", Widen(argv[4], kCodePageAnsi).c_str(), L"HTTP/1.1") ||
        !agent.AddHeaderW(L"Accept", L"*/*") || !agent.AddHeaderW(L"User-Agent", L"%ls", L"CHttpAgent") ||
        !agent.AddHeaderW(L"Host", L"%ls", wideHost.c_str()) || !agent.AddHeaderW(L"Connection", L"keep-alive")) {
        std::fprintf(stderr, "http_fetch: request refused\n");
        return 1;
    }
    if (!agent.SendRequest() || !agent.ReceiveHeader()) {
        std::fprintf(stderr, "http_fetch: no response\n");
        return 1;
    }
    std::printf("status: %d\n", agent.GetStatusCode());
    std::printf("content-length: %s\n", agent.GetHeader("Content-Length"));
    std::printf("transfer-encoding: %s\n", agent.GetHeader("Transfer-Encoding"));

    const std::wstring output = Widen(argv[5], kCodePageAnsi);
    bool stored = false;
    if (mode == "file") {
        Progress progress;
        stored = agent.DownloadToFile(output.c_str(), &OnProgress, &progress);
        std::printf("notices: %d, last percent: %d, received: %lld\n", progress.notices, progress.lastPercent,
                    static_cast<long long>(progress.lastReceived));
    } else if (mode == "body") {
        std::string body;
        stored = agent.ReceiveBody(body) && WriteWholeFile(output, body);
        std::printf("body: %zu bytes\n", body.size());
    }
    agent.Close();
    if (!stored) {
        std::fprintf(stderr, "http_fetch: the body was not stored\n");
        return 1;
    }
    return agent.GetStatusCode() == 200 ? 0 : 1;
}
