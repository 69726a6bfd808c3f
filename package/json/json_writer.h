#pragma once

// JsonWriter serialises a JsonValue compactly: no white space, object members in byte-wise key
// order, and one line feed at the end of the document. Reading the text back gives an equal
// document (reals rounded to six significant digits).

#include <string>

#include "package/json/json_value.h"

class JsonWriter {
public:
    std::string Write(const JsonValue& value);

    // The quoted form of a key or string: escapes quote, backslash and the five control bytes
    // that have short escapes; "\u" is kept as it is because the reader never decodes it.
    static std::string QuoteString(const char* text);

private:
    void WriteValue(const JsonValue& value, std::string& out);
};
