#include "package/base64.h"

#include <cstring>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

unsigned SextetOf(char c)
{
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned>(c - 'A');
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned>(c - 'a' + 26);
    if (c >= '0' && c <= '9')
        return static_cast<unsigned>(c - '0' + 52);
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return 63;  // outside the alphabet, "=" included: all bits set
}

}  // namespace

std::string Base64EncodeBytes(std::string_view bytes)
{
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                     (static_cast<unsigned char>(bytes[i + 1]) << 8) | static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    size_t rest = bytes.size() - i;
    if (rest > 0) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2)
            v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string Base64DecodeBytes(std::string_view text)
{
    std::string out;
    size_t length = text.size();
    if (length == 0)
        return out;
    out.reserve((length + 3) / 4 * 3);
    // Every group but the last decodes to three bytes regardless of "=".
    size_t lastStart = (length % 4 == 0) ? length - 4 : length - length % 4;
    for (size_t i = 0; i < lastStart; i += 4) {
        unsigned v = (SextetOf(text[i]) << 18) | (SextetOf(text[i + 1]) << 12) | (SextetOf(text[i + 2]) << 6) |
                     SextetOf(text[i + 3]);
        out += static_cast<char>((v >> 16) & 0xFF);
        out += static_cast<char>((v >> 8) & 0xFF);
        out += static_cast<char>(v & 0xFF);
    }
    // The last group: characters missing past the end of a short input count as zero bits, and
    // "=" in a position drops the bytes that position would complete.
    char group[4] = {0, 0, 0, 0};
    for (size_t k = 0; k < 4 && lastStart + k < length; ++k)
        group[k] = text[lastStart + k];
    unsigned v = 0;
    for (int k = 0; k < 4; ++k)
        v = (v << 6) | (group[k] == 0 ? 0u : SextetOf(group[k]));
    out += static_cast<char>((v >> 16) & 0xFF);
    if (group[1] != '=' && group[2] != '=')
        out += static_cast<char>((v >> 8) & 0xFF);
    if (group[2] != '=' && group[3] != '=')
        out += static_cast<char>(v & 0xFF);
    return out;
}

const char* Base64Encode(const char* text, ConversionPool& pool)
{
    if (text == nullptr || *text == '\0')
        return "";
    return pool.Keep(Base64EncodeBytes(text));
}

const char* Base64Decode(const char* text, ConversionPool& pool)
{
    if (text == nullptr || *text == '\0')
        return "";
    return pool.Keep(Base64DecodeBytes(text));
}
