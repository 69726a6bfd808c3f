#pragma once

// ConversionPool owns the buffers returned by the text conversion and base64 helpers. A caller
// keeps one as a local object, and every pointer it was handed stays valid until the pool dies.
// Empty results are never allocated: they point to static empty strings the pool does not own.
//
// Code pages: 0 is the system ANSI code page and 65001 is UTF-8. On Windows the conversions are
// MultiByteToWideChar and WideCharToMultiByte. The native build, which exists for tests and the
// packing tool, treats code page 0 as UTF-8 (the host's own narrow encoding) and converts other
// code pages, such as 936, with iconv.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class ConversionPool {
public:
    ConversionPool() = default;
    ConversionPool(const ConversionPool&) = delete;
    ConversionPool& operator=(const ConversionPool&) = delete;

    // Copies the text into a zero-terminated buffer that the pool owns.
    const char* Keep(const std::string& bytes);
    const wchar_t* Keep(const std::wstring& text);

private:
    std::vector<std::unique_ptr<char[]>> m_narrow;
    std::vector<std::unique_ptr<wchar_t[]>> m_wide;
};

constexpr unsigned kCodePageAnsi = 0;
constexpr unsigned kCodePageUtf8 = 65001;

const wchar_t* WidenText(ConversionPool& pool, const char* text, unsigned codePage);
const char* NarrowText(const wchar_t* text, ConversionPool& pool, unsigned codePage);

// Value-returning forms for code that does not need the pool.
std::wstring Widen(const std::string& text, unsigned codePage);
std::string Narrow(const std::wstring& text, unsigned codePage);
