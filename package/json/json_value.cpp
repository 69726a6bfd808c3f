#include "package/json/json_value.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

char* DuplicateText(const char* text)
{
    if (text == nullptr)
        return nullptr;
    size_t length = std::strlen(text);
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length + 1);
    return copy;
}

// The C library's _atoi64: leading white space, an optional sign, then decimal digits up to the
// first other byte. Out-of-range values wrap instead of invoking undefined behaviour.
int64_t LeadingInteger(const char* text)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p == ' ' || (*p >= 9 && *p <= 13))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    uint64_t value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p - '0');
        ++p;
    }
    return static_cast<int64_t>(negative ? (0 - value) : value);
}

// A real becomes an integer by truncation to 32 bits; outside that range it saturates, so that
// no input can trigger an undefined conversion.
int64_t TruncateReal(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return INT32_MAX;
    if (value <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

}  // namespace

JsonValue::JsonValue(int64_t value) : m_type(kInteger)
{
    m_payload.integer = value;
}

JsonValue::JsonValue(const char* text) : m_type(kString)
{
    m_payload.text = DuplicateText(text);
}

JsonValue::JsonValue(const std::string& text) : JsonValue(text.c_str()) {}

JsonValue JsonValue::MakeBool(bool value)
{
    JsonValue result;
    result.m_type = kBoolean;
    result.m_payload.integer = 0;
    result.m_payload.boolean = value;
    return result;
}

JsonValue JsonValue::MakeReal(double value)
{
    JsonValue result;
    result.m_type = kReal;
    result.m_payload.real = value;
    return result;
}

JsonValue JsonValue::MakeArray()
{
    JsonValue result;
    result.MakeEmptyArray();
    return result;
}

JsonValue JsonValue::MakeObject()
{
    JsonValue result;
    result.MakeEmptyObject();
    return result;
}

JsonValue::JsonValue(const JsonValue& other)
{
    CopyFrom(other);
}

JsonValue::JsonValue(JsonValue&& other) noexcept : m_payload(other.m_payload), m_type(other.m_type)
{
    other.m_type = kNull;
    other.m_payload.integer = 0;
}

JsonValue& JsonValue::operator=(const JsonValue& other)
{
    if (this != &other) {
        // Copy first: other may live inside this value's own payload.
        JsonValue copy(other);
        *this = std::move(copy);
    }
    return *this;
}

JsonValue& JsonValue::operator=(JsonValue&& other) noexcept
{
    if (this != &other) {
        Payload payload = other.m_payload;
        Type type = other.m_type;
        other.m_type = kNull;
        other.m_payload.integer = 0;
        Reset();
        m_payload = payload;
        m_type = type;
    }
    return *this;
}

JsonValue::~JsonValue()
{
    Reset();
}

const JsonValue& JsonValue::SharedNull()
{
    static const JsonValue null;
    return null;
}

void JsonValue::CopyFrom(const JsonValue& other)
{
    m_type = other.m_type;
    switch (other.m_type) {
    case kArray:
        m_payload.list = other.m_payload.list ? new List(*other.m_payload.list) : nullptr;
        break;
    case kObject:
        m_payload.map = other.m_payload.map ? new Map(*other.m_payload.map) : nullptr;
        break;
    case kString:
        m_payload.text = DuplicateText(other.m_payload.text);
        break;
    default:
        m_payload = other.m_payload;
        break;
    }
}

void JsonValue::Reset()
{
    switch (m_type) {
    case kArray:
        delete m_payload.list;
        break;
    case kObject:
        delete m_payload.map;
        break;
    case kString:
        delete[] m_payload.text;
        break;
    default:
        break;
    }
    m_type = kNull;
    m_payload.integer = 0;
}

void JsonValue::MakeEmptyArray()
{
    Reset();
    m_payload.list = new List();
    m_type = kArray;
}

void JsonValue::MakeEmptyObject()
{
    Reset();
    m_payload.map = new Map();
    m_type = kObject;
}

int64_t JsonValue::AsInt64() const
{
    switch (m_type) {
    case kInteger:
        return m_payload.integer;
    case kBoolean:
        return m_payload.boolean ? 1 : 0;
    case kReal:
        return TruncateReal(m_payload.real);
    case kString:
        return LeadingInteger(AsCString());
    default:
        return 0;
    }
}

double JsonValue::AsDouble() const
{
    switch (m_type) {
    case kInteger:
        return static_cast<double>(m_payload.integer);
    case kBoolean:
        return m_payload.boolean ? 1.0 : 0.0;
    case kReal:
        return m_payload.real;
    case kString:
        return std::strtod(AsCString(), nullptr);
    default:
        return 0.0;
    }
}

bool JsonValue::AsBool() const
{
    switch (m_type) {
    case kInteger:
        return m_payload.integer != 0;
    case kBoolean:
        return m_payload.boolean;
    case kReal:
        return m_payload.real != 0.0;
    case kArray:
    case kObject:
        return Size() > 0;
    case kString:
        return AsCString()[0] != '\0';
    default:
        return false;
    }
}

const char* JsonValue::AsCString() const
{
    if (m_type == kString && m_payload.text != nullptr)
        return m_payload.text;
    return "";
}

uint32_t JsonValue::Size() const
{
    if (m_type == kArray && m_payload.list != nullptr)
        return static_cast<uint32_t>(m_payload.list->size());
    if (m_type == kObject && m_payload.map != nullptr)
        return static_cast<uint32_t>(m_payload.map->size());
    return 0;
}

JsonValue& JsonValue::Element(uint32_t index)
{
    if (m_type != kArray || m_payload.list == nullptr)
        MakeEmptyArray();
    List& list = *m_payload.list;
    if (index >= list.size())
        list.resize(static_cast<size_t>(index) + 1);
    return list[index];
}

JsonValue& JsonValue::Append(const JsonValue& value)
{
    JsonValue copy(value);
    uint32_t index = (m_type == kArray) ? Size() : 0;
    return Element(index) = std::move(copy);
}

JsonValue& JsonValue::Member(const char* key)
{
    if (m_type != kObject || m_payload.map == nullptr)
        MakeEmptyObject();
    return (*m_payload.map)[key ? key : ""];
}

const JsonValue& JsonValue::Element(uint32_t index) const
{
    if (m_type == kArray && m_payload.list != nullptr && index < m_payload.list->size())
        return (*m_payload.list)[index];
    return SharedNull();
}

const JsonValue& JsonValue::Find(const char* key) const
{
    if (m_type != kObject || m_payload.map == nullptr || key == nullptr)
        return SharedNull();
    auto it = m_payload.map->find(key);
    return it == m_payload.map->end() ? SharedNull() : it->second;
}

bool JsonValue::IsMember(const char* key) const
{
    return m_type == kObject && m_payload.map != nullptr && key != nullptr &&
           m_payload.map->count(key) != 0;
}

bool JsonValue::GetMemberNames(std::vector<std::string>& names) const
{
    if (m_type != kObject || m_payload.map == nullptr)
        return false;
    for (const auto& member : *m_payload.map)
        names.push_back(member.first);
    return true;
}

bool JsonValue::operator==(const JsonValue& other) const
{
    if (m_type != other.m_type)
        return false;
    switch (m_type) {
    case kNull:
        return true;
    case kInteger:
        return m_payload.integer == other.m_payload.integer;
    case kBoolean:
        return m_payload.boolean == other.m_payload.boolean;
    case kReal:
        return m_payload.real == other.m_payload.real;
    case kString:
        return std::strcmp(AsCString(), other.AsCString()) == 0;
    case kArray: {
        uint32_t n = Size();
        if (n != other.Size())
            return false;
        for (uint32_t i = 0; i < n; ++i)
            if (Element(i) != other.Element(i))
                return false;
        return true;
    }
    case kObject: {
        if (Size() != other.Size())
            return false;
        if (Size() == 0)
            return true;
        return *m_payload.map == *other.m_payload.map;
    }
    }
    return false;
}
