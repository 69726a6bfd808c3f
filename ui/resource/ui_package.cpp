#include "ui/resource/ui_package.h"

#include <cstring>
#include <utility>
#include <vector>

#include "package/json/json_reader.h"
#include "package/package_trailer.h"
#include "package/string_util.h"

namespace {

constexpr char kMagic[4] = {'.', 'u', 'i', 'r'};

struct RecordSpan {
    uint32_t id;
    uint64_t offset;
    uint32_t size;
};

}  // namespace

bool RecordIdOf(const JsonValue& id, uint32_t& recordId)
{
    // Booleans, reals and strings go through the value's own integer reading, which is exactly
    // the conversion the groups need; arrays, objects and null read as 0.
    const int64_t value = id.AsInt64();
    if (value < 0 || value > static_cast<int64_t>(UINT32_MAX))
        return false;
    recordId = static_cast<uint32_t>(value);
    return true;
}

PackageStatus UIPackage::Load(const std::string& bytes)
{
    const uint64_t size = bytes.size();
    if (size < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        return PackageStatus::kBadMagic;
    if (size < 8)
        return PackageStatus::kJsonOutOfBounds;
    const uint64_t jsonLength = ReadLittleEndian32(bytes.data() + 4);
    const uint64_t countAt = 8 + jsonLength;
    if (countAt + 4 > size)
        return PackageStatus::kJsonOutOfBounds;
    const uint32_t count = ReadLittleEndian32(bytes.data() + countAt);

    // Walk every record head first, so that a package running past its end is refused before
    // anything is copied. Each record takes at least 8 bytes, so the walk ends after at most
    // size / 8 steps whatever N claims, and the list it fills is bounded the same way.
    std::vector<RecordSpan> spans;
    uint64_t at = countAt + 4;
    for (uint32_t i = 0; i < count; ++i) {
        if (at + 8 > size)
            return PackageStatus::kRecordOutOfBounds;
        const uint32_t id = ReadLittleEndian32(bytes.data() + at);
        const uint32_t recordSize = ReadLittleEndian32(bytes.data() + at + 4);
        if (at + 8 + recordSize > size)
            return PackageStatus::kRecordOutOfBounds;
        spans.push_back({id, at + 8, recordSize});
        at += 8 + uint64_t{recordSize};
    }

    // A later record with the same identifier replaces an earlier one.
    std::map<uint32_t, RecordBytes> records;
    for (const RecordSpan& span : spans)
        records[span.id] = std::make_shared<const std::string>(bytes, static_cast<size_t>(span.offset), span.size);

    // The reader's verdict does not matter: a document that breaks off keeps what was read.
    JsonValue document;
    JsonReader reader;
    reader.Parse(bytes.substr(8, static_cast<size_t>(jsonLength)), document);

    std::map<std::string, RecordGroup> groups;
    const JsonValue& res = document.Find("res");
    std::vector<std::string> names;
    res.GetMemberNames(names);
    for (const std::string& name : names) {
        RecordGroup& group = groups[name];
        const JsonValue& entries = res.Find(name.c_str());
        if (entries.GetType() != JsonValue::kArray)
            continue;
        for (uint32_t i = 0; i < entries.Size(); ++i) {
            uint32_t id = 0;
            if (!RecordIdOf(entries.Element(i).Find("id"), id))
                continue;
            auto found = records.find(id);
            if (found != records.end())
                group[id] = found->second;
        }
    }

    m_document = std::move(document);
    m_groups = std::move(groups);
    m_loaded = true;
    return PackageStatus::kOk;
}

const JsonValue* UIPackage::FindNode(const char* path, const JsonValue* start) const
{
    const JsonValue* node = start;
    if (node == nullptr) {
        if (!m_document.IsMember("cfg"))
            return nullptr;
        node = &m_document.Find("cfg");
    }
    if (path == nullptr)
        return node;
    std::vector<std::string> pieces;
    SplitString(path, "/", pieces);
    for (const std::string& piece : pieces) {
        if (piece.empty())
            continue;
        if (!node->IsMember(piece.c_str()))
            return nullptr;
        node = &node->Find(piece.c_str());
    }
    return node;
}

int32_t UIPackage::IntegerOf(const JsonValue* node)
{
    if (node == nullptr || node->GetType() != JsonValue::kInteger)
        return 0;
    return static_cast<int32_t>(static_cast<uint32_t>(node->AsInt64()));
}

int32_t UIPackage::ElementOf(const JsonValue* node, uint32_t index)
{
    if (node == nullptr || node->GetType() != JsonValue::kArray || index >= node->Size())
        return 0;
    return IntegerOf(&node->Element(index));
}

PackageRect UIPackage::RectOf(const JsonValue* node)
{
    PackageRect rect;
    if (node == nullptr || node->GetType() != JsonValue::kArray || node->Size() != 4)
        return rect;
    rect.left = ElementOf(node, 0);
    rect.top = ElementOf(node, 1);
    rect.right = ElementOf(node, 2);
    rect.bottom = ElementOf(node, 3);
    return rect;
}

PackagePoint UIPackage::PointOf(const JsonValue* node)
{
    PackagePoint point;
    if (node == nullptr || node->GetType() != JsonValue::kArray || node->Size() != 2)
        return point;
    point.x = ElementOf(node, 0);
    point.y = ElementOf(node, 1);
    return point;
}

uint32_t UIPackage::ColorOf(const JsonValue* node)
{
    if (node == nullptr || node->GetType() != JsonValue::kArray || node->Size() != 3)
        return 0;
    const uint32_t r = static_cast<uint32_t>(ElementOf(node, 0)) & 0xFF;
    const uint32_t g = static_cast<uint32_t>(ElementOf(node, 1)) & 0xFF;
    const uint32_t b = static_cast<uint32_t>(ElementOf(node, 2)) & 0xFF;
    return r | (g << 8) | (b << 16);
}

int32_t UIPackage::GetInt(const char* path, const JsonValue* start) const
{
    return IntegerOf(FindNode(path, start));
}

PackageRect UIPackage::GetRect(const char* path, const JsonValue* start) const
{
    return RectOf(FindNode(path, start));
}

PackagePoint UIPackage::GetPoint(const char* path, const JsonValue* start) const
{
    return PointOf(FindNode(path, start));
}

uint32_t UIPackage::GetColor(const char* path, const JsonValue* start) const
{
    return ColorOf(FindNode(path, start));
}

const std::string* UIPackage::FindRecord(const char* group, uint32_t id) const
{
    if (group == nullptr)
        return nullptr;
    auto foundGroup = m_groups.find(group);
    if (foundGroup == m_groups.end())
        return nullptr;
    auto found = foundGroup->second.find(id);
    if (found == foundGroup->second.end())
        return nullptr;
    return found->second.get();
}

bool UIPackage::GetResourceBytes(const char* group, uint32_t id, std::string& out) const
{
    out.clear();
    const std::string* bytes = FindRecord(group, id);
    if (bytes != nullptr)
        out = *bytes;
    return !out.empty();
}
