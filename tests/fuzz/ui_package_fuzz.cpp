// Feeds arbitrary bytes to the UI resource package reader, then asks the loaded package the
// questions the windows ask. Beyond not crashing or reading out of bounds:
//   - the package is accepted exactly when a plain walk of its layout stays inside the bytes, and
//     every record a group holds is the last record of that identifier in the file;
//   - a refused package leaves the document and groups loaded before it untouched;
//   - every object node of "cfg" is found again by FindNode from the path of its member names,
//     also with leading, trailing and doubled slashes (names holding "/" or empty are skipped);
//   - every record a group holds can be read back, and every font record parses or is refused.

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "package/package_trailer.h"
#include "ui/resource/font_record.h"
#include "ui/resource/ui_package.h"

namespace {

constexpr int kMaxDepth = 8;

// The layout walked the simplest way, as the oracle for the reader: the last record of each
// identifier, or false when anything runs past the end.
bool WalkLayout(const std::string& bytes, std::map<uint32_t, std::string>& records)
{
    const uint64_t size = bytes.size();
    if (size < 8 || bytes.compare(0, 4, ".uir") != 0)
        return false;
    uint64_t at = 8 + uint64_t{ReadLittleEndian32(bytes.data() + 4)};
    if (at + 4 > size)
        return false;
    const uint32_t count = ReadLittleEndian32(bytes.data() + at);
    at += 4;
    for (uint32_t i = 0; i < count; ++i) {
        if (at + 8 > size)
            return false;
        const uint32_t id = ReadLittleEndian32(bytes.data() + at);
        const uint64_t length = ReadLittleEndian32(bytes.data() + at + 4);
        if (at + 8 + length > size)
            return false;
        records[id] = bytes.substr(static_cast<size_t>(at + 8), static_cast<size_t>(length));
        at += 8 + length;
    }
    return true;
}

std::string BaselinePackage()
{
    const std::string json = R"({"cfg":{"Base":{"id":42}},"res":{"fonts":[{"id":1}]}})";
    std::string bytes = ".uir";
    AppendLittleEndian32(bytes, static_cast<uint32_t>(json.size()));
    bytes += json;
    AppendLittleEndian32(bytes, 1);
    AppendLittleEndian32(bytes, 1);
    AppendLittleEndian32(bytes, 2);
    bytes += "{}";
    return bytes;
}

void Walk(const UIPackage& package, const JsonValue& node, const std::string& path, int depth)
{
    // The typed getters on any node, by path and from the node itself.
    package.GetInt("", &node);
    package.GetRect("", &node);
    package.GetPoint("", &node);
    package.GetColor("", &node);
    if (depth >= kMaxDepth || node.GetType() != JsonValue::kObject)
        return;
    std::vector<std::string> names;
    node.GetMemberNames(names);
    for (const std::string& name : names) {
        if (name.empty() || name.find('/') != std::string::npos || name.find('\0') != std::string::npos)
            continue;
        const JsonValue& child = node.Find(name.c_str());
        const std::string childPath = path + "/" + name;
        if (package.FindNode(childPath.c_str(), nullptr) != &child)
            std::abort();
        const std::string messy = "//" + path + "//" + name + "/";
        if (package.FindNode(messy.c_str(), nullptr) != &child)
            std::abort();
        if (package.FindNode(name.c_str(), &node) != &child)
            std::abort();
        Walk(package, child, childPath, depth + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    UIPackage package;
    if (package.Load(BaselinePackage()) != PackageStatus::kOk)
        std::abort();
    std::map<uint32_t, std::string> expected;
    const bool wellFormed = WalkLayout(bytes, expected);
    const bool loaded = package.Load(bytes) == PackageStatus::kOk;
    if (loaded != wellFormed)
        std::abort();
    if (!loaded) {
        if (package.GetInt("Base/id", nullptr) != 42 || package.FindRecord("fonts", 1) == nullptr)
            std::abort();
        return 0;
    }

    const JsonValue* cfg = package.FindNode("", nullptr);
    if (cfg != nullptr)
        Walk(package, *cfg, "", 0);
    package.FindNode("a//b/", nullptr);

    for (const auto& group : package.Groups()) {
        for (const auto& record : group.second) {
            std::string out;
            const bool found = package.GetResourceBytes(group.first.c_str(), record.first, out);
            if (found != !record.second->empty() || out != *record.second)
                std::abort();
            auto reference = expected.find(record.first);
            if (reference == expected.end() || reference->second != out)
                std::abort();
            FontRecord font;
            ParseFontRecord(*record.second, font);
        }
    }
    return 0;
}
