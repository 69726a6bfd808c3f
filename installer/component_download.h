#pragma once

// The device-support component (Apple's iTunes with Apple Mobile Device Support): when it is
// missing after an install, a worker thread asks the redirect service where Apple's installer
// is, downloads it over plain HTTP, runs it and waits for it; when that fails or is cancelled it
// offers Apple's web page instead. Either way the install is then complete.

#include <string>

// Where the download starts and what the question offers. The host and pages are build
// settings (QV_REDIRECT_HOST, QV_ITUNES_PAGE); the port is 80 in the program. The timeout is the
// seconds every wait for sending or receiving may take, the HTTP agent's own 20 in the program;
// tests against servers that fall silent shorten it.
struct ComponentDownloadSettings {
    std::wstring redirectHost;
    int port = 80;
    std::wstring webPage;
    int timeoutSeconds = 20;
};

ComponentDownloadSettings DefaultComponentDownloadSettings();

// The process window and the system, as the worker sees them.
class ComponentHost {
public:
    virtual ~ComponentHost() = default;
    virtual void SetStatus(const std::wstring& text) = 0;
    virtual void HideCancelButton() = 0;
    virtual bool IsCancelRequested() = 0;
    // Whether this 32-bit program runs under WOW64 on 64-bit Windows.
    virtual bool IsWow64() = 0;
    // "<temporary folder>iTunesSetup.exe"
    virtual std::wstring SetupPath() = 0;
    // Takes the window out of the topmost band so the component's installer can come to front.
    virtual void LeaveTopmost() = 0;
    // Starts the downloaded installer and waits for its process to end.
    virtual void RunAndWait(const std::wstring& path) = 0;
    // The question about Apple's web page; true for Yes.
    virtual bool AskForWebPage(const std::wstring& text, const std::wstring& caption) = 0;
    virtual void OpenWebPage(const std::wstring& address) = 0;
    virtual void RemoveFile(const std::wstring& path) = 0;
    // Hands the completion message to the process window without waiting.
    virtual void CompleteInstall() = 0;
};

// The worker routine's whole work; returns 0.
int RunComponentDownload(ComponentHost& host, const ComponentDownloadSettings& settings);

// The redirect request's path: "/redirect/itunesdl.php?sys=1&langid=1&bit=64" or "...=32".
std::wstring RedirectPath(bool wow64);
// The host name part of an address ("http://dl.example.com:81/a" gives "dl.example.com").
std::wstring UrlHostName(const std::wstring& address);
// The second request's path: the location without "http://" and without its host name.
std::wstring DownloadPath(const std::wstring& location, const std::wstring& host);
