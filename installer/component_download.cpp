#include "installer/component_download.h"

#include <cwctype>

#include "net/http_agent.h"

#ifndef QV_REDIRECT_HOST
#define QV_REDIRECT_HOST L"dl.varnholt-mobile.example"
#endif
#ifndef QV_ITUNES_PAGE
#define QV_ITUNES_PAGE L"http://www.apple.com/itunes/download/"
#endif

namespace {

const wchar_t kQuestion[] =
    L"Varnholt手机助手需要iTunes组件才可以发现和管理您的设备，您是否要立即到苹果官网下载iTunes组件？";

// What the progress handler needs: the host to tell, and the percentage shown last.
struct ProgressContext {
    ComponentHost* host;
    int shownPercent;
};

int OnDownloadProgress(int percent, unsigned, const char*, int, int64_t, int64_t, void* user)
{
    auto* context = static_cast<ProgressContext*>(user);
    // The failure notice (-1) leaves the last percentage on screen; the question follows.
    if (percent >= 0 && percent != context->shownPercent) {
        context->host->SetStatus(L"正在下载必需组件iTunes: " + std::to_wstring(percent) + L"% ...");
        context->shownPercent = percent;
    }
    return context->host->IsCancelRequested() ? 0 : 1;
}

bool StartsWithIgnoringCase(const std::wstring& text, const std::wstring& prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::towlower(text[i]) != std::towlower(prefix[i]))
            return false;
    return true;
}

void AddHeaders(CHttpAgent& agent, const std::wstring& host)
{
    agent.AddHeaderW(L"Accept", L"%ls", L"*/*");
    agent.AddHeaderW(L"User-Agent", L"%ls", L"CHttpAgent");
    agent.AddHeaderW(L"Host", L"%ls", host.c_str());
    agent.AddHeaderW(L"Connection", L"%ls", L"keep-alive");
}

bool Download(CHttpAgent& agent, ComponentHost& host, const ComponentDownloadSettings& settings)
{
    agent.SetTimeout(settings.timeoutSeconds);
    const std::wstring path = RedirectPath(host.IsWow64());
    if (!agent.SetRequestW(settings.redirectHost.c_str(), settings.port, L"GET", path.c_str(), L"HTTP/1.1"))
        return false;
    AddHeaders(agent, settings.redirectHost);
    if (!agent.SendRequest() || !agent.ReceiveHeader() || agent.GetStatusCode() != 302)
        return false;
    std::wstring location;
    agent.GetHeaderW(location, L"location");
    if (!StartsWithIgnoringCase(location, L"http://"))
        return false;
    const std::wstring server = UrlHostName(location);
    const std::wstring second = DownloadPath(location, server);
    if (!agent.SetRequestW(server.c_str(), settings.port, L"GET", second.c_str(), L"HTTP/1.1"))
        return false;
    AddHeaders(agent, server);
    if (!agent.SendRequest() || !agent.ReceiveHeader() || agent.GetStatusCode() != 200)
        return false;
    ProgressContext context{&host, -1};
    return agent.DownloadToFile(host.SetupPath().c_str(), &OnDownloadProgress, &context);
}

}  // namespace

ComponentDownloadSettings DefaultComponentDownloadSettings()
{
    ComponentDownloadSettings settings;
    settings.redirectHost = QV_REDIRECT_HOST;
    settings.port = 80;
    settings.webPage = QV_ITUNES_PAGE;
    settings.timeoutSeconds = CHttpAgent::kDefaultTimeout;
    return settings;
}

std::wstring RedirectPath(bool wow64)
{
    return std::wstring(L"/redirect/itunesdl.php?sys=1&langid=1&bit=") + (wow64 ? L"64" : L"32");
}

std::wstring UrlHostName(const std::wstring& address)
{
    size_t start = address.find(L"://");
    start = start == std::wstring::npos ? 0 : start + 3;
    size_t end = address.find_first_of(L"/?#", start);
    std::wstring authority = address.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
    size_t at = authority.rfind(L'@');
    if (at != std::wstring::npos)
        authority.erase(0, at + 1);
    size_t colon = authority.find(L':');
    if (colon != std::wstring::npos)
        authority.erase(colon);
    return authority;
}

std::wstring DownloadPath(const std::wstring& location, const std::wstring& host)
{
    std::wstring path = location.size() > 7 ? location.substr(7) : std::wstring();
    if (host.empty())
        return path;
    for (size_t at = path.find(host); at != std::wstring::npos; at = path.find(host, at))
        path.erase(at, host.size());
    return path;
}

int RunComponentDownload(ComponentHost& host, const ComponentDownloadSettings& settings)
{
    const std::wstring setupPath = host.SetupPath();
    bool downloaded;
    {
        CHttpAgent agent;
        downloaded = Download(agent, host, settings);
        agent.Close();
    }
    host.HideCancelButton();
    if (downloaded) {
        host.SetStatus(L"正在安装iTunes组件, 请耐心等候...");
        host.LeaveTopmost();
        host.RunAndWait(setupPath);
    } else if (host.AskForWebPage(kQuestion, L"提示")) {
        host.OpenWebPage(settings.webPage);
    }
    host.RemoveFile(setupPath);
    host.CompleteInstall();
    return 0;
}
