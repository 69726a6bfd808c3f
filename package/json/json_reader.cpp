#include "package/json/json_reader.h"

#include <cstdlib>
#include <cstring>

namespace {

bool IsWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsNumberByte(char c)
{
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E';
}

}  // namespace

bool JsonReader::Parse(const char* text, JsonValue& document)
{
    if (text == nullptr)
        text = "";
    m_start = text;
    m_end = text + std::strlen(text);
    m_position = text;
    m_error = nullptr;
    m_errorMessage.clear();
    return ReadValue(document, 0);
}

bool JsonReader::Fail(const std::string& message, const char* where)
{
    m_error = where;
    m_errorMessage = message;
    return false;
}

void JsonReader::SkipWhiteSpace()
{
    while (m_position < m_end && IsWhiteSpace(*m_position))
        ++m_position;
}

// Called just after the introducing '/', '#' or ';'. The next byte chooses the kind: '*' opens a
// block comment closed by "*/", '/' runs to the end of the line, anything else is skipped alone.
void JsonReader::SkipComment()
{
    if (m_position >= m_end)
        return;
    char kind = *m_position++;
    if (kind == '*') {
        while (m_position < m_end) {
            if (m_position[0] == '*' && m_position + 1 < m_end && m_position[1] == '/') {
                m_position += 2;
                return;
            }
            ++m_position;
        }
    } else if (kind == '/') {
        while (m_position < m_end) {
            char c = *m_position++;
            if (c == '\r' || c == '\n')
                return;
        }
    }
}

bool JsonReader::Match(const char* literal, size_t length)
{
    if (static_cast<size_t>(m_end - m_position) < length || std::memcmp(m_position, literal, length) != 0)
        return false;
    m_position += length;
    return true;
}

void JsonReader::ReadToken(Token& token)
{
    for (;;) {
        SkipWhiteSpace();
        token.start = m_position;
        if (m_position >= m_end) {
            token.type = TokenType::kEndOfText;
            token.end = m_position;
            return;
        }
        char c = *m_position++;
        switch (c) {
        case '"':
            token.type = TokenType::kError;
            while (m_position < m_end) {
                char s = *m_position++;
                if (s == '\\') {
                    if (m_position < m_end)
                        ++m_position;
                } else if (s == '"') {
                    token.type = TokenType::kString;
                    break;
                }
            }
            break;
        case '[':
            token.type = TokenType::kArrayBegin;
            break;
        case ']':
            token.type = TokenType::kArrayEnd;
            break;
        case '{':
            token.type = TokenType::kObjectBegin;
            break;
        case '}':
            token.type = TokenType::kObjectEnd;
            break;
        case ',':
            token.type = TokenType::kValueSeparator;
            break;
        case ':':
            token.type = TokenType::kMemberSeparator;
            break;
        case 't':
            token.type = Match("rue", 3) ? TokenType::kTrue : TokenType::kError;
            break;
        case 'f':
            token.type = Match("alse", 4) ? TokenType::kFalse : TokenType::kError;
            break;
        case 'n':
            token.type = Match("ull", 3) ? TokenType::kNull : TokenType::kError;
            break;
        case '/':
        case '#':
        case ';':
            SkipComment();
            continue;
        default:
            if (c == '-' || (c >= '0' && c <= '9')) {
                token.type = TokenType::kNumber;
                while (m_position < m_end && IsNumberByte(*m_position))
                    ++m_position;
            } else {
                token.type = TokenType::kError;
            }
            break;
        }
        token.end = m_position;
        return;
    }
}

bool JsonReader::ReadValue(JsonValue& target, int depth)
{
    Token token;
    ReadToken(token);
    switch (token.type) {
    case TokenType::kNull:
        target.Reset();
        return true;
    case TokenType::kTrue:
        target = JsonValue::MakeBool(true);
        return true;
    case TokenType::kFalse:
        target = JsonValue::MakeBool(false);
        return true;
    case TokenType::kNumber:
        return DecodeNumber(token, target);
    case TokenType::kString: {
        std::string text;
        if (!DecodeString(token, text))
            return false;
        target = JsonValue(text);
        return true;
    }
    case TokenType::kArrayBegin:
    case TokenType::kObjectBegin:
        if (depth >= kMaxDepth)
            return Fail("Nesting too deep.", token.start);
        return token.type == TokenType::kArrayBegin ? ReadArray(target, depth + 1)
                                                    : ReadObject(target, depth + 1);
    default:
        return Fail("Syntax error: value, object or array expected.", token.start);
    }
}

bool JsonReader::ReadArray(JsonValue& target, int depth)
{
    target = JsonValue::MakeArray();
    // Only plain white space is skipped here: a comment inside "[ ]" is not an empty array.
    SkipWhiteSpace();
    if (m_position < m_end && *m_position == ']') {
        Token end;
        ReadToken(end);
        return true;
    }
    for (uint32_t index = 0;; ++index) {
        if (!ReadValue(target.Element(index), depth))
            return false;
        Token token;
        ReadToken(token);
        if (token.type == TokenType::kArrayEnd)
            return true;
        if (token.type != TokenType::kValueSeparator)
            return Fail("Missing ',' or ']' in array declaration", token.start);
    }
}

bool JsonReader::ReadObject(JsonValue& target, int depth)
{
    target = JsonValue::MakeObject();
    for (;;) {
        Token token;
        ReadToken(token);
        if (token.type == TokenType::kObjectEnd)
            return true;
        if (token.type != TokenType::kString)
            return Fail("Missing '}' or object member name", token.start);
        std::string name;
        if (!DecodeString(token, name))
            return false;
        ReadToken(token);
        if (token.type != TokenType::kMemberSeparator)
            return Fail("Missing ':' after object member name", token.start);
        if (!ReadValue(target.Member(name), depth))
            return false;
        ReadToken(token);
        if (token.type == TokenType::kObjectEnd)
            return true;
        if (token.type != TokenType::kValueSeparator)
            return Fail("Missing ',' or '}' in object declaration", token.start);
    }
}

bool JsonReader::DecodeNumber(const Token& token, JsonValue& target)
{
    const char* p = token.start;
    bool negative = false;
    if (p < token.end && *p == '-') {
        negative = true;
        ++p;
    }
    uint64_t value = 0;
    for (; p < token.end; ++p) {
        char c = *p;
        if (c >= '0' && c <= '9') {
            value = value * 10 + static_cast<uint64_t>(c - '0');
        } else if (c == '.' || c == 'e' || c == 'E') {
            return DecodeReal(token, target);
        } else {
            return Fail("'" + std::string(token.start, token.end) + "' is not a number.", token.start);
        }
    }
    target = JsonValue(static_cast<int64_t>(negative ? 0 - value : value));
    return true;
}

bool JsonReader::DecodeReal(const Token& token, JsonValue& target)
{
    size_t length = static_cast<size_t>(token.end - token.start);
    if (length <= 512) {
        char buffer[513];
        std::memcpy(buffer, token.start, length);
        buffer[length] = '\0';
        // The longest prefix that forms a number is converted, so "1.5.2" reads as 1.5. The token
        // holds only digits, signs, dots and exponents, so no hexadecimal or "inf" form can occur.
        char* end = nullptr;
        double value = std::strtod(buffer, &end);
        if (end != buffer) {
            target = JsonValue::MakeReal(value);
            return true;
        }
    }
    return Fail("'" + std::string(token.start, token.end) + "' is too large or not a number.", token.start);
}

bool JsonReader::DecodeString(const Token& token, std::string& result)
{
    result.clear();
    const char* p = token.start + 1;
    const char* last = token.end - 1;  // the closing quote
    while (p < last) {
        char c = *p++;
        if (c != '\\') {
            result += c;
            continue;
        }
        char escape = *p++;
        switch (escape) {
        case '"':
            result += '"';
            break;
        case '/':
            result += '/';
            break;
        case '\\':
            result += '\\';
            break;
        case 'b':
            result += '\b';
            break;
        case 'f':
            result += '\f';
            break;
        case 'n':
            result += '\n';
            break;
        case 'r':
            result += '\r';
            break;
        case 't':
            result += '\t';
            break;
        case 'u':
            // Carried through undecoded; the hex digits follow as ordinary bytes.
            result += "\\u";
            break;
        default:
            return Fail("Bad escape sequence in string", p);
        }
    }
    return true;
}
