#pragma once

// JsonReader parses zero-terminated 8-bit JSON text into a JsonValue. It is lenient where the
// program's stored files need it to be (comments, a trailing comma in objects, anything after the
// root value) and it carries string bytes through unchanged, "\u" escapes included.
//
// The parse stops at the first error; the document keeps what was built up to it, and the error's
// position and message stay available on the reader.

#include <cstddef>
#include <string>

#include "package/json/json_value.h"

class JsonReader {
public:
    // Nesting deeper than this fails the parse instead of exhausting the stack. The program's own
    // documents nest at most seven levels.
    static constexpr int kMaxDepth = 256;

    bool Parse(const char* text, JsonValue& document);
    bool Parse(const std::string& text, JsonValue& document) { return Parse(text.c_str(), document); }

    const std::string& GetErrorMessage() const { return m_errorMessage; }
    // Offset of the first error from the start of the text; -1 when the last parse succeeded.
    ptrdiff_t GetErrorOffset() const { return m_error ? m_error - m_start : -1; }

private:
    enum class TokenType {
        kEndOfText,
        kNull,
        kTrue,
        kFalse,
        kNumber,
        kString,
        kArrayBegin,
        kArrayEnd,
        kObjectBegin,
        kObjectEnd,
        kValueSeparator,
        kMemberSeparator,
        kError,
    };
    struct Token {
        TokenType type = TokenType::kError;
        const char* start = nullptr;
        const char* end = nullptr;
    };

    bool ReadValue(JsonValue& target, int depth);
    bool ReadArray(JsonValue& target, int depth);
    bool ReadObject(JsonValue& target, int depth);
    bool DecodeNumber(const Token& token, JsonValue& target);
    bool DecodeReal(const Token& token, JsonValue& target);
    bool DecodeString(const Token& token, std::string& result);

    void ReadToken(Token& token);
    void SkipWhiteSpace();
    void SkipComment();
    bool Match(const char* literal, size_t length);
    bool Fail(const std::string& message, const char* where);

    const char* m_start = nullptr;
    const char* m_end = nullptr;
    const char* m_position = nullptr;
    const char* m_error = nullptr;
    std::string m_errorMessage;
};
