#include "package/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string>

// The native build stores wide text as UTF-32 in wchar_t. Code pages 0 and 65001 are UTF-8,
// decoded here the way Windows does it: each malformed sequence becomes U+FFFD. Other code pages
// go through iconv.

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

void DecodeUtf8(const unsigned char* p, std::wstring& out)
{
    while (*p != 0) {
        unsigned c = *p;
        int extra;
        unsigned cp;
        unsigned minimum;
        if (c < 0x80) {
            out += static_cast<wchar_t>(c);
            ++p;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1, cp = c & 0x1F, minimum = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2, cp = c & 0x0F, minimum = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3, cp = c & 0x07, minimum = 0x10000;
        } else {
            out += kReplacement;
            ++p;
            continue;
        }
        int i = 1;
        for (; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                break;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (i <= extra || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += kReplacement;
            p += i;  // skip the lead byte and the continuation bytes that were valid
            continue;
        }
        out += static_cast<wchar_t>(cp);
        p += extra + 1;
    }
}

bool EncodeUtf8(const wchar_t* text, std::string& out, bool exact)
{
    for (const wchar_t* p = text; *p != 0; ++p) {
        unsigned long cp = static_cast<unsigned long>(*p);
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            if (exact)
                return false;
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return true;
}

bool IsUtf8(unsigned codePage)
{
    return codePage == 0 || codePage == 65001;
}

// Runs iconv over the whole input. Strict mode fails on the first unconvertible character;
// otherwise an unconvertible input byte or character is replaced and skipped.
bool Iconv(const char* to, const char* from, const char* in, size_t inBytes, size_t unitSize,
           const std::string& replacement, bool strict, std::string& out)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    char buffer[1024];
    char* src = const_cast<char*>(in);
    bool ok = true;
    while (inBytes > 0) {
        char* dst = buffer;
        size_t room = sizeof buffer;
        size_t rc = iconv(cd, &src, &inBytes, &dst, &room);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (rc == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            if (strict) {
                ok = false;
                break;
            }
            out += replacement;
            size_t skip = inBytes < unitSize ? inBytes : unitSize;
            src += skip;
            inBytes -= skip;
        } else if (strict && rc > 0) {
            // Some iconv implementations count irreversible (approximated) conversions here.
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    return ok;
}

std::string IconvName(unsigned codePage)
{
    return "CP" + std::to_string(codePage);
}

bool ToCodePage(unsigned codePage, const wchar_t* text, std::string& result, bool strict)
{
    result.clear();
    if (IsUtf8(codePage))
        return EncodeUtf8(text, result, strict);
    size_t length = std::wcslen(text);
    return Iconv(IconvName(codePage).c_str(), "WCHAR_T", reinterpret_cast<const char*>(text),
                 length * sizeof(wchar_t), sizeof(wchar_t), "?", strict, result);
}

}  // namespace

bool CodePageToWide(unsigned codePage, const char* text, std::wstring& result)
{
    result.clear();
    if (IsUtf8(codePage)) {
        DecodeUtf8(reinterpret_cast<const unsigned char*>(text), result);
        return true;
    }
    std::string bytes;
    std::string replacement(reinterpret_cast<const char*>(&kReplacement), sizeof(wchar_t));
    if (!Iconv("WCHAR_T", IconvName(codePage).c_str(), text, std::strlen(text), 1, replacement, false, bytes))
        return false;
    result.assign(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    return true;
}

bool WideToCodePage(unsigned codePage, const wchar_t* text, std::string& result)
{
    return ToCodePage(codePage, text, result, false);
}

bool WideToCodePageExact(unsigned codePage, const wchar_t* text, std::string& result)
{
    return ToCodePage(codePage, text, result, true);
}
