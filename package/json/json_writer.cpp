#include "package/json/json_writer.h"

#include <cstdio>
#include <cstring>

std::string JsonWriter::Write(const JsonValue& value)
{
    std::string out;
    WriteValue(value, out);
    out += '\n';
    return out;
}

void JsonWriter::WriteValue(const JsonValue& value, std::string& out)
{
    switch (value.GetType()) {
    case JsonValue::kNull:
        out += "null";
        break;
    case JsonValue::kInteger: {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(value.AsInt64()));
        out += buffer;
        break;
    }
    case JsonValue::kBoolean:
        out += value.AsBool() ? "true" : "false";
        break;
    case JsonValue::kReal: {
        char buffer[512];
        std::snprintf(buffer, sizeof buffer, "%g", value.AsDouble());
        out += buffer;
        break;
    }
    case JsonValue::kArray: {
        out += '[';
        for (uint32_t i = 0, n = value.Size(); i < n; ++i) {
            if (i != 0)
                out += ',';
            WriteValue(value.Element(i), out);
        }
        out += ']';
        break;
    }
    case JsonValue::kObject: {
        out += '{';
        std::vector<std::string> names;
        value.GetMemberNames(names);
        bool first = true;
        for (const std::string& name : names) {
            if (!first)
                out += ',';
            first = false;
            out += QuoteString(name.c_str());
            out += ':';
            WriteValue(value.Find(name.c_str()), out);
        }
        out += '}';
        break;
    }
    case JsonValue::kString:
        out += QuoteString(value.AsCString());
        break;
    }
}

std::string JsonWriter::QuoteString(const char* text)
{
    if (text == nullptr)
        text = "";
    if (std::strpbrk(text, "\"\\\b\f\n\r\t") == nullptr)
        return std::string("\"") + text + "\"";
    std::string out = "\"";
    for (const char* p = text; *p != '\0'; ++p) {
        switch (*p) {
        case '\b':
            out += "\\b";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\r':
            out += "\\r";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\\':
            if (p[1] == 'u') {
                out += "\\u";
                ++p;
            } else {
                out += "\\\\";
            }
            break;
        default:
            out += *p;
            break;
        }
    }
    out += '"';
    return out;
}
