#pragma once

// JsonValue: the program's own JSON value. It holds 8-bit text and never interprets the bytes of
// strings, so configuration text in the ANSI code page and UTF-8 resource text pass through alike.
//
// The payload is one 8-byte slot (integer, boolean, real, or an owned pointer to the list, map or
// text) plus the type tag. An array, object or string may exist without its list, map or text (a
// null pointer); it then reads as empty.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class JsonValue {
public:
    enum Type : int32_t {
        kNull = 0,
        kInteger = 1,
        kBoolean = 2,
        kReal = 3,
        kArray = 4,
        kObject = 5,
        kString = 6,
    };

    using List = std::vector<JsonValue>;
    // std::string orders keys by unsigned byte-wise comparison, with a prefix sorting first.
    using Map = std::map<std::string, JsonValue>;

    JsonValue() = default;
    JsonValue(int value) : JsonValue(static_cast<int64_t>(value)) {}
    JsonValue(int64_t value);
    // Duplicates the text; a null pointer gives a string value whose text is null.
    JsonValue(const char* text);
    JsonValue(const std::string& text);

    static JsonValue MakeBool(bool value);
    static JsonValue MakeReal(double value);
    static JsonValue MakeArray();
    static JsonValue MakeObject();

    JsonValue(const JsonValue& other);
    JsonValue(JsonValue&& other) noexcept;
    JsonValue& operator=(const JsonValue& other);
    JsonValue& operator=(JsonValue&& other) noexcept;
    ~JsonValue();

    // The process-wide null value that read-only lookups return when nothing is found.
    static const JsonValue& SharedNull();

    Type GetType() const { return m_type; }
    int64_t AsInt64() const;
    double AsDouble() const;
    bool AsBool() const;
    // Never null: anything but a string with a text gives "".
    const char* AsCString() const;
    uint32_t Size() const;

    // Mutable access; turns the value into an array (or object) first when it is not one.
    JsonValue& Element(uint32_t index);
    JsonValue& Member(const char* key);
    JsonValue& Member(const std::string& key) { return Member(key.c_str()); }
    // Appends at the end of the array (turning the value into one first).
    JsonValue& Append(const JsonValue& value);

    const JsonValue& Element(uint32_t index) const;
    const JsonValue& Find(const char* key) const;
    bool IsMember(const char* key) const;
    bool GetMemberNames(std::vector<std::string>& names) const;

    void Reset();

    // Deep structural equality (reals compare by value, texts byte for byte).
    bool operator==(const JsonValue& other) const;
    bool operator!=(const JsonValue& other) const { return !(*this == other); }

private:
    void CopyFrom(const JsonValue& other);
    void MakeEmptyArray();
    void MakeEmptyObject();

    union Payload {
        int64_t integer;
        bool boolean;
        double real;
        List* list;
        Map* map;
        char* text;
    };
    Payload m_payload{0};
    Type m_type = kNull;
};
