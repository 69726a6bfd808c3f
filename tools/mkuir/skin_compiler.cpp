#include "tools/mkuir/skin_compiler.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <vector>

#include "package/json/json_reader.h"
#include "package/json/json_writer.h"
#include "package/package_trailer.h"
#include "tools/mkuir/icon_writer.h"
#include "tools/mkuir/rgba_image.h"
#include "tools/mkuir/sheet_packer.h"
#include "tools/mkuir/svg_renderer.h"

namespace fs = std::filesystem;

namespace {

const char* const kStateNames[] = {"normal", "grayed", "lighted", "pressed", "focused"};

// The LOGFONTW fields a font record may set; all but FaceName are integers.
const char* const kFontFields[] = {"Height",    "Width",        "Escapement",    "Orientation", "Weight",
                                   "Italic",    "Underline",    "StrikeOut",     "CharSet",     "OutPrecision",
                                   "ClipPrecision", "Quality",  "PitchAndFamily", "FaceName"};

constexpr int kMaxSheetSide = 4096;
constexpr int kMaxFaceNameCharacters = 31;

struct Margins {
    int value[4] = {0, 0, 0, 0};
    bool IsZero() const { return value[0] == 0 && value[1] == 0 && value[2] == 0 && value[3] == 0; }
};

struct PieceDefinition {
    std::string svg;
    TemplateVars vars;
    bool hasCrop = false;
    int crop[4] = {0, 0, 0, 0};
    Margins margins;
};

struct Piece {
    PieceDefinition definition;
    RgbaImage image;
    int slot = -1;  // index into the sheet's distinct pictures
};

struct Slot {
    RgbaImage image;
    int x = 0;
    int y = 0;
};

struct FontRecord {
    uint32_t id = 0;
    std::string name;
    std::string bytes;
};

// Line and column (both from 1) of a byte offset, for messages about the document text.
std::string Position(const std::string& text, ptrdiff_t offset)
{
    int line = 1, column = 1;
    for (ptrdiff_t i = 0; i < offset && i < static_cast<ptrdiff_t>(text.size()); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++column;  // columns count characters, not the continuation bytes of UTF-8
        }
    }
    return std::to_string(line) + ":" + std::to_string(column);
}

bool IsInteger(const JsonValue& value) { return value.GetType() == JsonValue::kInteger; }

// Four integers from an array of exactly four.
bool ReadFour(const JsonValue& value, int out[4])
{
    if (value.GetType() != JsonValue::kArray || value.Size() != 4)
        return false;
    for (uint32_t i = 0; i < 4; ++i) {
        const JsonValue& element = value.Element(i);
        if (!IsInteger(element) || element.AsInt64() < -1000000 || element.AsInt64() > 1000000)
            return false;
        out[i] = static_cast<int>(element.AsInt64());
    }
    return true;
}

JsonValue MakeFour(int a, int b, int c, int d)
{
    JsonValue array = JsonValue::MakeArray();
    array.Append(JsonValue(a));
    array.Append(JsonValue(b));
    array.Append(JsonValue(c));
    array.Append(JsonValue(d));
    return array;
}

// Checks that an object has only the allowed members.
bool OnlyMembers(const JsonValue& object, std::initializer_list<const char*> allowed, const std::string& where,
                 std::string& error)
{
    std::vector<std::string> names;
    object.GetMemberNames(names);
    for (const std::string& name : names) {
        bool known = false;
        for (const char* candidate : allowed)
            known = known || name == candidate;
        if (!known) {
            error = where + ": unknown member \"" + name + "\"";
            return false;
        }
    }
    return true;
}

// "#RRGGBB" as the COLORREF the program reads from "cr": red in the low byte.
bool ParseHexColour(const std::string& text, uint32_t& colour)
{
    if (text.size() != 7 || text[0] != '#')
        return false;
    uint32_t rgb = 0;
    for (size_t i = 1; i < 7; ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9' ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            return false;
        rgb = rgb << 4 | static_cast<uint32_t>(digit);
    }
    colour = (rgb >> 16) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    return true;
}

// A template's values: strings as they are, numbers in their shortest decimal form.
bool ReadVars(const JsonValue& vars, const std::string& where, TemplateVars& out, std::string& error)
{
    if (vars.GetType() != JsonValue::kObject) {
        error = where + ": \"vars\" must be an object";
        return false;
    }
    std::vector<std::string> keys;
    vars.GetMemberNames(keys);
    for (const std::string& key : keys) {
        const JsonValue& value = vars.Find(key.c_str());
        if (value.GetType() == JsonValue::kString) {
            out[key] = value.AsCString();
        } else if (value.GetType() == JsonValue::kInteger) {
            out[key] = std::to_string(value.AsInt64());
        } else if (value.GetType() == JsonValue::kReal) {
            char text[32];
            std::snprintf(text, sizeof text, "%g", value.AsDouble());
            out[key] = text;
        } else {
            error = where + ": variable \"" + key + "\" must be a string or a number";
            return false;
        }
    }
    return true;
}

size_t CountCharacters(const std::string& utf8)
{
    size_t count = 0;
    for (unsigned char byte : utf8)
        count += (byte & 0xC0) != 0x80;
    return count;
}

class Compiler {
public:
    Compiler(const CompileOptions& options, CompileOutput& output)
        : m_options(options), m_output(output),
          m_renderer(fs::path(options.skinPath).parent_path().string(), options.rsvgConvert)
    {
    }

    bool Run(std::string& error)
    {
        return ReadDocument(error) && ReadSheet(error) && ReadFonts(error) && ReadPieces(error) &&
               CollectReferences(error) && RenderPieces(error) && PackPieces(error) && WritePackage(error) &&
               RenderIcon(error);
    }

private:
    bool ReadDocument(std::string& error)
    {
        std::ifstream in(m_options.skinPath, std::ios::binary);
        if (!in) {
            error = "cannot read " + m_options.skinPath;
            return false;
        }
        m_text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        JsonReader reader;
        if (!reader.Parse(m_text, m_document)) {
            error = m_options.skinPath + ":" + Position(m_text, reader.GetErrorOffset()) + ": " +
                    reader.GetErrorMessage();
            return false;
        }
        if (m_document.GetType() != JsonValue::kObject) {
            error = m_options.skinPath + ": the document is not a JSON object";
            return false;
        }
        if (!OnlyMembers(m_document, {"sheet", "fonts", "pieces", "icon", "cfg"}, m_options.skinPath, error))
            return false;
        for (const char* member : {"sheet", "fonts", "pieces", "cfg"}) {
            if (!m_document.IsMember(member)) {
                error = m_options.skinPath + ": no \"" + member + "\"";
                return false;
            }
        }
        if (m_document.Find("cfg").GetType() != JsonValue::kObject) {
            error = "cfg: not an object";
            return false;
        }
        return true;
    }

    bool ReadSheet(std::string& error)
    {
        const JsonValue& sheet = m_document.Find("sheet");
        if (sheet.GetType() != JsonValue::kObject) {
            error = "sheet: not an object";
            return false;
        }
        if (!OnlyMembers(sheet, {"id", "name", "width", "gutter"}, "sheet", error))
            return false;
        const JsonValue& id = sheet.Find("id");
        if (!IsInteger(id) || id.AsInt64() <= 0 || id.AsInt64() > 0x7FFFFFFF) {
            error = "sheet: \"id\" must be a positive integer";
            return false;
        }
        m_sheetId = static_cast<uint32_t>(id.AsInt64());
        if (sheet.Find("name").GetType() != JsonValue::kString) {
            error = "sheet: \"name\" must be a string";
            return false;
        }
        m_sheetName = sheet.Find("name").AsCString();
        if (sheet.IsMember("width")) {
            const JsonValue& width = sheet.Find("width");
            if (!IsInteger(width) || width.AsInt64() < 16 || width.AsInt64() > kMaxSheetSide) {
                error = "sheet: \"width\" must be an integer from 16 to " + std::to_string(kMaxSheetSide);
                return false;
            }
            m_sheetWidth = static_cast<int>(width.AsInt64());
        }
        if (sheet.IsMember("gutter")) {
            const JsonValue& gutter = sheet.Find("gutter");
            if (!IsInteger(gutter) || gutter.AsInt64() < 0 || gutter.AsInt64() > 16) {
                error = "sheet: \"gutter\" must be an integer from 0 to 16";
                return false;
            }
            m_gutter = static_cast<int>(gutter.AsInt64());
        }
        return true;
    }

    bool ReadFonts(std::string& error)
    {
        const JsonValue& fonts = m_document.Find("fonts");
        if (fonts.GetType() != JsonValue::kArray) {
            error = "fonts: not an array";
            return false;
        }
        std::set<uint32_t> ids = {m_sheetId};
        for (uint32_t i = 0; i < fonts.Size(); ++i) {
            const JsonValue& font = fonts.Element(i);
            std::string where = "fonts[" + std::to_string(i) + "]";
            if (font.GetType() != JsonValue::kObject) {
                error = where + ": not an object";
                return false;
            }
            if (!OnlyMembers(font, {"id", "name", "record"}, where, error))
                return false;
            const JsonValue& id = font.Find("id");
            if (!IsInteger(id) || id.AsInt64() <= 0 || id.AsInt64() > 0x7FFFFFFF) {
                error = where + ": \"id\" must be a positive integer";
                return false;
            }
            FontRecord record;
            record.id = static_cast<uint32_t>(id.AsInt64());
            where = "font " + std::to_string(record.id);
            if (!ids.insert(record.id).second) {
                error = where + ": the id is used by another record";
                return false;
            }
            if (font.Find("name").GetType() != JsonValue::kString) {
                error = where + ": \"name\" must be a string";
                return false;
            }
            record.name = font.Find("name").AsCString();
            const JsonValue& fields = font.Find("record");
            if (fields.GetType() != JsonValue::kObject) {
                error = where + ": \"record\" must be an object";
                return false;
            }
            std::vector<std::string> names;
            fields.GetMemberNames(names);
            for (const std::string& name : names) {
                bool known = false;
                for (const char* field : kFontFields)
                    known = known || name == field;
                if (!known) {
                    error = where + ": \"" + name + "\" is not a font field";
                    return false;
                }
                const JsonValue& value = fields.Find(name.c_str());
                if (name == "FaceName") {
                    if (value.GetType() != JsonValue::kString ||
                        CountCharacters(value.AsCString()) > kMaxFaceNameCharacters) {
                        error = where + ": \"FaceName\" must be a string of at most 31 characters";
                        return false;
                    }
                } else if (!IsInteger(value) || value.AsInt64() < INT32_MIN || value.AsInt64() > INT32_MAX) {
                    error = where + ": \"" + name + "\" must be a 32-bit integer";
                    return false;
                }
            }
            // The writer's compact text with its closing line feed: what the program's records hold.
            record.bytes = JsonWriter().Write(fields);
            m_fonts.push_back(std::move(record));
        }
        return true;
    }

    bool ReadPieces(std::string& error)
    {
        const JsonValue& pieces = m_document.Find("pieces");
        if (pieces.GetType() != JsonValue::kObject) {
            error = "pieces: not an object";
            return false;
        }
        std::vector<std::string> names;
        pieces.GetMemberNames(names);
        for (const std::string& name : names) {
            const JsonValue& piece = pieces.Find(name.c_str());
            const std::string where = "piece \"" + name + "\"";
            if (piece.GetType() != JsonValue::kObject) {
                error = where + ": not an object";
                return false;
            }
            if (!OnlyMembers(piece, {"svg", "like", "vars", "crop", "mg"}, where, error))
                return false;
        }
        for (const std::string& name : names) {
            std::set<std::string> chain;
            PieceDefinition definition;
            if (!Resolve(name, chain, definition, error))
                return false;
            if (definition.svg.empty()) {
                error = "piece \"" + name + "\": no \"svg\" (directly or through \"like\")";
                return false;
            }
            m_pieces[name].definition = definition;
        }
        return true;
    }

    // The definition of a piece with everything it inherits through "like".
    bool Resolve(const std::string& name, std::set<std::string>& chain, PieceDefinition& out, std::string& error)
    {
        const std::string where = "piece \"" + name + "\"";
        if (!chain.insert(name).second) {
            error = where + ": \"like\" goes round in a circle";
            return false;
        }
        const JsonValue& pieces = m_document.Find("pieces");
        const JsonValue& piece = pieces.Find(name.c_str());
        if (piece.IsMember("like")) {
            const JsonValue& base = piece.Find("like");
            if (base.GetType() != JsonValue::kString || !pieces.IsMember(base.AsCString())) {
                error = where + ": \"like\" names no piece";
                return false;
            }
            m_bases.insert(base.AsCString());
            if (!Resolve(base.AsCString(), chain, out, error))
                return false;
        }
        if (piece.IsMember("svg")) {
            if (piece.Find("svg").GetType() != JsonValue::kString) {
                error = where + ": \"svg\" must be a path";
                return false;
            }
            out.svg = piece.Find("svg").AsCString();
        }
        if (piece.IsMember("vars") && !ReadVars(piece.Find("vars"), where, out.vars, error))
            return false;
        if (piece.IsMember("crop")) {
            if (!ReadFour(piece.Find("crop"), out.crop) || out.crop[0] < 0 || out.crop[1] < 0 || out.crop[2] <= 0 ||
                out.crop[3] <= 0) {
                error = where + ": \"crop\" must be [x, y, w, h] with x, y >= 0 and w, h > 0";
                return false;
            }
            out.hasCrop = true;
        }
        if (piece.IsMember("mg")) {
            if (!ReadFour(piece.Find("mg"), out.margins.value) || out.margins.value[0] < 0 ||
                out.margins.value[1] < 0 || out.margins.value[2] < 0 || out.margins.value[3] < 0) {
                error = where + ": \"mg\" must be four margins >= 0";
                return false;
            }
        }
        return true;
    }

    // The first walk over "cfg": which pieces the styles name, and every error in the styles.
    bool CollectReferences(std::string& error)
    {
        JsonValue unused;
        if (!Walk(m_document.Find("cfg"), "cfg", false, unused, error))
            return false;
        if (m_document.IsMember("icon") && !ReadIcon(error))
            return false;
        for (const auto& entry : m_pieces) {
            if (m_referenced.count(entry.first) == 0 && m_bases.count(entry.first) == 0) {
                error = "piece \"" + entry.first + "\" is not used by any style";
                return false;
            }
        }
        return true;
    }

    // Copies node into out, turning piece names into sheet rectangles. With write false nothing is
    // written and the pieces named are only recorded, because their places are not known yet.
    bool Walk(const JsonValue& node, const std::string& path, bool write, JsonValue& out, std::string& error)
    {
        if (node.GetType() == JsonValue::kArray) {
            out = JsonValue::MakeArray();
            for (uint32_t i = 0; i < node.Size(); ++i) {
                JsonValue element;
                if (!Walk(node.Element(i), path + "[" + std::to_string(i) + "]", write, element, error))
                    return false;
                out.Append(element);
            }
            return true;
        }
        if (node.GetType() != JsonValue::kObject) {
            out = node;
            return true;
        }

        // "skin" stands for one state style per piece of the family.
        JsonValue expanded = node;
        if (node.IsMember("skin")) {
            const JsonValue& family = node.Find("skin");
            if (family.GetType() != JsonValue::kString) {
                error = path + ": \"skin\" must name a family of pieces";
                return false;
            }
            bool any = false;
            for (const char* state : kStateNames) {
                const std::string pieceName = std::string(family.AsCString()) + "." + state;
                if (m_pieces.count(pieceName) == 0)
                    continue;
                if (node.IsMember(state)) {
                    error = path + ": \"" + state + "\" is given both by \"skin\" and by hand";
                    return false;
                }
                expanded.Member(state).Member("piece") = JsonValue(pieceName);
                any = true;
            }
            if (!any) {
                error = path + ": no pieces named \"" + family.AsCString() + ".normal\", \".grayed\", ...";
                return false;
            }
        }

        for (const char* handTyped : {"bi", "bg", "fi", "fg"}) {
            if (expanded.IsMember(handTyped)) {
                error = path + ": \"" + handTyped + "\" is filled from a piece; name the piece instead";
                return false;
            }
        }

        out = JsonValue::MakeObject();
        std::vector<std::string> names;
        expanded.GetMemberNames(names);
        for (const std::string& name : names) {
            const JsonValue& member = expanded.Find(name.c_str());
            const std::string memberPath = path + "/" + name;
            if (name == "skin")
                continue;
            if (name == "piece" || name == "fgPiece") {
                if (!UsePiece(expanded, name, path, write, out, error))
                    return false;
                continue;
            }
            if (name == "mg" && expanded.IsMember("piece")) {
                // Checked and written together with the piece.
                continue;
            }
            if (name == "cr" && member.GetType() == JsonValue::kString) {
                uint32_t colour = 0;
                if (!ParseHexColour(member.AsCString(), colour)) {
                    error = memberPath + ": a colour is an integer or \"#RRGGBB\"";
                    return false;
                }
                if (write)
                    out.Member(name) = JsonValue(static_cast<int64_t>(colour));
                continue;
            }
            JsonValue copy;
            if (!Walk(member, memberPath, write, copy, error))
                return false;
            if (write)
                out.Member(name) = copy;
        }
        return true;
    }

    bool UsePiece(const JsonValue& style, const std::string& key, const std::string& path, bool write, JsonValue& out,
                  std::string& error)
    {
        const JsonValue& nameValue = style.Find(key.c_str());
        if (nameValue.GetType() != JsonValue::kString || m_pieces.count(nameValue.AsCString()) == 0) {
            error = path + ": \"" + key + "\" names no piece" +
                    (nameValue.GetType() == JsonValue::kString ? std::string(" (\"") + nameValue.AsCString() + "\")"
                                                               : std::string());
            return false;
        }
        const std::string name = nameValue.AsCString();
        m_referenced.insert(name);
        const bool background = key == "piece";
        Margins margins;
        if (background) {
            margins = m_pieces[name].definition.margins;
            if (style.IsMember("mg") && !ReadFour(style.Find("mg"), margins.value)) {
                error = path + ": \"mg\" must be four margins";
                return false;
            }
        }
        if (!write) {
            if (background)
                m_styleMargins.push_back({path, name, margins});
            return true;
        }
        const Piece& piece = m_pieces[name];
        const Slot& slot = m_slots[piece.slot];
        out.Member(background ? "bi" : "fi") = JsonValue(static_cast<int64_t>(m_sheetId));
        out.Member(background ? "bg" : "fg") = MakeFour(slot.x, slot.y, slot.image.width, slot.image.height);
        if (background && !margins.IsZero())
            out.Member("mg") = MakeFour(margins.value[0], margins.value[1], margins.value[2], margins.value[3]);
        return true;
    }

    bool ReadIcon(std::string& error)
    {
        const JsonValue& icon = m_document.Find("icon");
        if (icon.GetType() != JsonValue::kObject) {
            error = "icon: not an object";
            return false;
        }
        if (!OnlyMembers(icon, {"svg", "vars", "sizes"}, "icon", error))
            return false;
        if (icon.Find("svg").GetType() != JsonValue::kString) {
            error = "icon: \"svg\" must be a path";
            return false;
        }
        m_icon.svg = icon.Find("svg").AsCString();
        if (icon.IsMember("vars") && !ReadVars(icon.Find("vars"), "icon", m_icon.vars, error))
            return false;
        const JsonValue& sizes = icon.Find("sizes");
        if (sizes.GetType() != JsonValue::kArray || sizes.Size() == 0) {
            error = "icon: \"sizes\" must be a list of sizes";
            return false;
        }
        for (uint32_t i = 0; i < sizes.Size(); ++i) {
            const JsonValue& size = sizes.Element(i);
            if (!IsInteger(size) || size.AsInt64() < 16 || size.AsInt64() > 256) {
                error = "icon: sizes must be integers from 16 to 256";
                return false;
            }
            m_iconSizes.push_back(static_cast<int>(size.AsInt64()));
        }
        m_hasIcon = true;
        return true;
    }

    bool RenderPieces(std::string& error)
    {
        std::map<std::string, int> slotOfPixels;
        for (const std::string& name : m_referenced) {
            Piece& piece = m_pieces[name];
            const PieceDefinition& definition = piece.definition;
            const std::string where = "piece \"" + name + "\"";
            std::string text, reason;
            RgbaImage rendered;
            if (!m_renderer.Expand(definition.svg, definition.vars, text, reason) ||
                !m_renderer.Render(text, 0, 0, rendered, reason)) {
                error = where + ": " + reason;
                return false;
            }
            if (definition.hasCrop) {
                const int* c = definition.crop;
                if (c[0] + c[2] > rendered.width || c[1] + c[3] > rendered.height) {
                    error = where + ": \"crop\" reaches outside the " + std::to_string(rendered.width) + " x " +
                            std::to_string(rendered.height) + " drawing";
                    return false;
                }
                piece.image = Crop(rendered, c[0], c[1], c[2], c[3]);
            } else {
                piece.image = std::move(rendered);
            }
            if (piece.image.width <= 0 || piece.image.height <= 0) {
                error = where + ": the drawing is empty";
                return false;
            }

            // Identical pictures (a state drawn like another, a strip reused) share a place.
            std::string key = std::to_string(piece.image.width) + "x" + std::to_string(piece.image.height) + ":";
            key.append(reinterpret_cast<const char*>(piece.image.pixels.data()), piece.image.pixels.size());
            auto found = slotOfPixels.find(key);
            if (found == slotOfPixels.end()) {
                found = slotOfPixels.emplace(std::move(key), static_cast<int>(m_slots.size())).first;
                m_slots.push_back({piece.image, 0, 0});
            }
            piece.slot = found->second;
        }

        // Margins are checked against the piece they cut, whether the piece or the style gives them.
        for (const StyleMargins& use : m_styleMargins) {
            const RgbaImage& image = m_pieces[use.piece].image;
            const int* m = use.margins.value;
            if (m[0] < 0 || m[1] < 0 || m[2] < 0 || m[3] < 0 || m[0] + m[2] > image.width ||
                m[1] + m[3] > image.height) {
                error = use.path + ": margins [" + std::to_string(m[0]) + ", " + std::to_string(m[1]) + ", " +
                        std::to_string(m[2]) + ", " + std::to_string(m[3]) + "] do not fit piece \"" + use.piece +
                        "\" (" + std::to_string(image.width) + " x " + std::to_string(image.height) + ")";
                return false;
            }
        }
        return true;
    }

    bool PackPieces(std::string& error)
    {
        std::vector<PackItem> items;
        for (size_t i = 0; i < m_slots.size(); ++i) {
            // Slots are named by the first piece that uses them, for messages and a stable order.
            std::string name;
            for (const auto& entry : m_pieces) {
                if (entry.second.slot == static_cast<int>(i)) {
                    name = entry.first;
                    break;
                }
            }
            items.push_back({name, m_slots[i].image.width, m_slots[i].image.height, 0, 0});
        }
        PackResult packed;
        if (!PackSheet(items, m_sheetWidth, m_gutter, kMaxSheetSide, packed, error))
            return false;
        m_sheet = RgbaImage(packed.width, packed.height);
        for (size_t i = 0; i < m_slots.size(); ++i) {
            m_slots[i].x = items[i].x;
            m_slots[i].y = items[i].y;
            Blit(m_slots[i].image, m_sheet, items[i].x, items[i].y);
        }
        m_output.sheetWidth = packed.width;
        m_output.sheetHeight = packed.height;
        m_output.pieceCount = static_cast<int>(m_slots.size());
        return EncodePng(m_sheet, m_output.sheetPng, error);
    }

    bool WritePackage(std::string& error)
    {
        JsonValue root = JsonValue::MakeObject();
        if (!Walk(m_document.Find("cfg"), "cfg", true, root.Member("cfg"), error))
            return false;
        JsonValue& groups = root.Member("res");
        groups = JsonValue::MakeObject();
        JsonValue& fonts = groups.Member("fonts");
        fonts = JsonValue::MakeArray();
        for (const FontRecord& font : m_fonts) {
            JsonValue entry = JsonValue::MakeObject();
            entry.Member("id") = JsonValue(static_cast<int64_t>(font.id));
            entry.Member("name") = JsonValue(font.name);
            fonts.Append(entry);
        }
        JsonValue image = JsonValue::MakeObject();
        image.Member("id") = JsonValue(static_cast<int64_t>(m_sheetId));
        image.Member("name") = JsonValue(m_sheetName);
        groups.Member("images") = JsonValue::MakeArray();
        groups.Member("images").Append(image);

        // The stored JSON text ends with its line feed and a NUL, both counted in J.
        std::string json = JsonWriter().Write(root);
        json += '\0';

        std::map<uint32_t, const std::string*> records = {{m_sheetId, &m_output.sheetPng}};
        for (const FontRecord& font : m_fonts)
            records[font.id] = &font.bytes;

        std::string& bytes = m_output.package;
        bytes = ".uir";
        AppendLittleEndian32(bytes, static_cast<uint32_t>(json.size()));
        bytes += json;
        AppendLittleEndian32(bytes, static_cast<uint32_t>(records.size()));
        for (const auto& record : records) {
            AppendLittleEndian32(bytes, record.first);
            AppendLittleEndian32(bytes, static_cast<uint32_t>(record.second->size()));
            bytes += *record.second;
        }
        return true;
    }

    bool RenderIcon(std::string& error)
    {
        if (!m_options.renderIcon)
            return true;
        if (!m_hasIcon) {
            error = m_options.skinPath + ": an icon was asked for but the document has no \"icon\"";
            return false;
        }
        std::string text;
        if (!m_renderer.Expand(m_icon.svg, m_icon.vars, text, error)) {
            error = "icon: " + error;
            return false;
        }
        std::vector<RgbaImage> images;
        for (int size : m_iconSizes) {
            RgbaImage image;
            if (!m_renderer.Render(text, size, size, image, error)) {
                error = "icon: " + error;
                return false;
            }
            images.push_back(std::move(image));
        }
        return EncodeIcon(images, m_output.icon, error);
    }

    struct StyleMargins {
        std::string path;
        std::string piece;
        Margins margins;
    };

    const CompileOptions& m_options;
    CompileOutput& m_output;
    SvgRenderer m_renderer;
    std::string m_text;
    JsonValue m_document;
    uint32_t m_sheetId = 0;
    std::string m_sheetName;
    int m_sheetWidth = 1024;
    int m_gutter = 2;
    std::vector<FontRecord> m_fonts;
    std::map<std::string, Piece> m_pieces;
    std::set<std::string> m_bases;
    std::set<std::string> m_referenced;
    std::vector<StyleMargins> m_styleMargins;
    std::vector<Slot> m_slots;
    RgbaImage m_sheet;
    bool m_hasIcon = false;
    PieceDefinition m_icon;
    std::vector<int> m_iconSizes;
};

}  // namespace

bool CompileSkin(const CompileOptions& options, CompileOutput& output, std::string& error)
{
    output = CompileOutput();
    Compiler compiler(options, output);
    return compiler.Run(error);
}
