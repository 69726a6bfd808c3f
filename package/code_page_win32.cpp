#include "package/code_page.h"

#include <windows.h>

bool CodePageToWide(unsigned codePage, const char* text, std::wstring& result)
{
    result.clear();
    int n = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (n <= 0)
        return false;
    std::wstring buffer(static_cast<size_t>(n), L'\0');
    n = MultiByteToWideChar(codePage, 0, text, -1, &buffer[0], n);
    if (n <= 0)
        return false;
    buffer.resize(static_cast<size_t>(n) - 1);  // drop the converted terminator
    result.swap(buffer);
    return true;
}

bool WideToCodePage(unsigned codePage, const wchar_t* text, std::string& result)
{
    result.clear();
    int n = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return false;
    std::string buffer(static_cast<size_t>(n), '\0');
    n = WideCharToMultiByte(codePage, 0, text, -1, &buffer[0], n, nullptr, nullptr);
    if (n <= 0)
        return false;
    buffer.resize(static_cast<size_t>(n) - 1);
    result.swap(buffer);
    return true;
}

bool WideToCodePageExact(unsigned codePage, const wchar_t* text, std::string& result)
{
    result.clear();
    BOOL usedDefault = FALSE;
    // UTF-8 rejects the default-character arguments; lone surrogates are its only failure.
    bool utf8 = codePage == CP_UTF8;
    DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : 0;
    int n = WideCharToMultiByte(codePage, flags, text, -1, nullptr, 0, nullptr, utf8 ? nullptr : &usedDefault);
    if (n <= 0 || usedDefault)
        return false;
    std::string buffer(static_cast<size_t>(n), '\0');
    n = WideCharToMultiByte(codePage, flags, text, -1, &buffer[0], n, nullptr, utf8 ? nullptr : &usedDefault);
    if (n <= 0 || usedDefault)
        return false;
    buffer.resize(static_cast<size_t>(n) - 1);
    result.swap(buffer);
    return true;
}
