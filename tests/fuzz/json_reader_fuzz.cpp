// Feeds arbitrary bytes to the JSON reader. Beyond not crashing, whatever it accepts must survive
// the writer: after one round of normalisation (reals rounded to six digits, -0 read back as the
// integer 0), writing and reading again changes nothing.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "package/json/json_reader.h"
#include "package/json/json_writer.h"

namespace {

bool HasNonFinite(const JsonValue& value)
{
    switch (value.GetType()) {
    case JsonValue::kReal:
        return !std::isfinite(value.AsDouble());
    case JsonValue::kArray:
        for (uint32_t i = 0; i < value.Size(); ++i)
            if (HasNonFinite(value.Element(i)))
                return true;
        return false;
    case JsonValue::kObject: {
        std::vector<std::string> names;
        value.GetMemberNames(names);
        for (const std::string& name : names)
            if (HasNonFinite(value.Find(name.c_str())))
                return true;
        return false;
    }
    default:
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    JsonReader reader;
    JsonValue document;
    if (!reader.Parse(text, document)) {
        if (reader.GetErrorOffset() < 0 || static_cast<size_t>(reader.GetErrorOffset()) > size)
            std::abort();
        return 0;
    }
    if (HasNonFinite(document))
        return 0;
    JsonWriter writer;
    std::string first = writer.Write(document);
    JsonValue second;
    if (!reader.Parse(first, second))
        std::abort();
    std::string normalised = writer.Write(second);
    JsonValue third;
    if (!reader.Parse(normalised, third) || writer.Write(third) != normalised)
        std::abort();
    return 0;
}
