#include "ui/resource/font_record.h"

#include "package/json/json_reader.h"
#include "package/json/json_value.h"

namespace {

int32_t Cut32(const JsonValue& record, const char* key)
{
    return static_cast<int32_t>(static_cast<uint32_t>(record.Find(key).AsInt64()));
}

uint8_t Cut8(const JsonValue& record, const char* key)
{
    return static_cast<uint8_t>(record.Find(key).AsInt64());
}

}  // namespace

bool ParseFontRecord(const std::string& bytes, FontRecord& record)
{
    record = FontRecord();
    JsonValue document;
    JsonReader reader;
    reader.Parse(bytes, document);
    if (document.GetType() == JsonValue::kNull)
        return false;

    record.height = Cut32(document, "Height");
    record.width = Cut32(document, "Width");
    record.escapement = Cut32(document, "Escapement");
    record.orientation = Cut32(document, "Orientation");
    record.weight = Cut32(document, "Weight");
    record.italic = Cut8(document, "Italic");
    record.underline = Cut8(document, "Underline");
    record.strikeOut = Cut8(document, "StrikeOut");
    record.charSet = Cut8(document, "CharSet");
    record.outPrecision = Cut8(document, "OutPrecision");
    record.clipPrecision = Cut8(document, "ClipPrecision");
    record.quality = Cut8(document, "Quality");
    record.pitchAndFamily = Cut8(document, "PitchAndFamily");
    const JsonValue& face = document.Find("FaceName");
    if (face.GetType() == JsonValue::kString)
        record.faceName = face.AsCString();
    return true;
}
