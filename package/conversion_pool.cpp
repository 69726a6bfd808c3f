#include "package/conversion_pool.h"

#include <cstring>

#include "package/code_page.h"

const char* ConversionPool::Keep(const std::string& bytes)
{
    std::unique_ptr<char[]> buffer(new char[bytes.size() + 1]);
    std::memcpy(buffer.get(), bytes.data(), bytes.size());
    buffer[bytes.size()] = '\0';
    m_narrow.push_back(std::move(buffer));
    return m_narrow.back().get();
}

const wchar_t* ConversionPool::Keep(const std::wstring& text)
{
    std::unique_ptr<wchar_t[]> buffer(new wchar_t[text.size() + 1]);
    std::wmemcpy(buffer.get(), text.data(), text.size());
    buffer[text.size()] = L'\0';
    m_wide.push_back(std::move(buffer));
    return m_wide.back().get();
}

const wchar_t* WidenText(ConversionPool& pool, const char* text, unsigned codePage)
{
    static const wchar_t empty[] = L"";
    std::wstring result;
    if (text == nullptr || !CodePageToWide(codePage, text, result) || result.empty())
        return empty;
    return pool.Keep(result);
}

const char* NarrowText(const wchar_t* text, ConversionPool& pool, unsigned codePage)
{
    static const char empty[] = "";
    std::string result;
    if (text == nullptr || !WideToCodePage(codePage, text, result) || result.empty())
        return empty;
    return pool.Keep(result);
}

std::wstring Widen(const std::string& text, unsigned codePage)
{
    std::wstring result;
    if (!CodePageToWide(codePage, text.c_str(), result))
        result.clear();
    return result;
}

std::string Narrow(const std::wstring& text, unsigned codePage)
{
    std::string result;
    if (!WideToCodePage(codePage, text.c_str(), result))
        result.clear();
    return result;
}
