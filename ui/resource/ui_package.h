#pragma once

// UIPackage: the portable half of the UI resource package. It reads the package bytes, keeps the
// JSON document and the record groups, and answers the path queries that need no drawing.
//
//   offset      size  content
//   0           4     magic ".uir" (2E 75 69 72), no terminator
//   4           4     J: length of the JSON text
//   8           J     JSON text, UTF-8 (the stored package ends it with LF and NUL, both counted)
//   8 + J       4     N: number of records
//   12 + J      ...   N records back to back, each: identifier (4), size S (4), S bytes
//
// All integers are unsigned 32-bit little-endian. The document has "cfg", the window and element
// nodes addressed by slash-separated paths, and "res", the record groups: each member of "res" is
// a group name whose array of {"id", "name"} entries names the records that belong to it.
//
// The reader checks, with size the length of the bytes and sums taken in 64 bits:
//   1. 8 + J <= size and 12 + J <= size
//   2. for every record, its 8-byte head and then its S bytes end at or before size
// A package that fails any bound is refused as a whole before anything is allocated for it, and
// the document and groups loaded before stay as they were. Bytes after the last record are
// ignored.

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "package/json/json_value.h"

// The four integers of an array of exactly four, in array order. For "size" that is x, y, w, h;
// nothing is converted to right and bottom edges.
struct PackageRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct PackagePoint {
    int32_t x = 0;
    int32_t y = 0;
};

enum class PackageStatus {
    kOk,
    kBadMagic,             // fewer than four bytes, or they are not ".uir"
    kJsonOutOfBounds,      // J or the record count N runs past the end
    kRecordOutOfBounds,    // a record's head or content runs past the end
};

class UIPackage {
public:
    // Record bytes are shared between the groups that name them, so a document naming one large
    // record many times costs one copy of it.
    using RecordBytes = std::shared_ptr<const std::string>;
    using RecordGroup = std::map<uint32_t, RecordBytes>;

    // Replaces the document and the record groups with those of the package; anything but kOk
    // leaves both as they were. A JSON text that does not parse still replaces the document with
    // whatever the reader built before the error.
    PackageStatus Load(const std::string& bytes);

    bool HasDocument() const { return m_loaded; }
    const JsonValue& Document() const { return m_document; }

    // The node at path below start, or below the document's "cfg" member when start is null.
    // Empty pieces of the path (leading, trailing or doubled slashes) are skipped, and an empty
    // path gives the start node itself. Null when a piece names no member, or when start is null
    // and there is no "cfg".
    const JsonValue* FindNode(const char* path, const JsonValue* start) const;

    // The node's value when it is a JSON integer, cut to its low 32 bits; 0 when the node is
    // missing or holds anything else, reals and numeric strings included.
    int32_t GetInt(const char* path, const JsonValue* start) const;
    // An array of exactly four (two) elements, each read as GetInt reads a node; zeros otherwise.
    PackageRect GetRect(const char* path, const JsonValue* start) const;
    PackagePoint GetPoint(const char* path, const JsonValue* start) const;
    // A COLORREF (r | g << 8 | b << 16, each the low 8 bits of its element) from an array of
    // exactly three elements; 0 otherwise.
    uint32_t GetColor(const char* path, const JsonValue* start) const;

    // The same readings applied to a node already found (null gives the zero value).
    static int32_t IntegerOf(const JsonValue* node);
    static PackageRect RectOf(const JsonValue* node);
    static PackagePoint PointOf(const JsonValue* node);
    static uint32_t ColorOf(const JsonValue* node);
    // Element index of an array node read as GetInt reads a node; 0 when it is missing.
    static int32_t ElementOf(const JsonValue* node, uint32_t index);

    // The bytes of record id in the named group, or null.
    const std::string* FindRecord(const char* group, uint32_t id) const;
    // Clears out, then copies the record's bytes into it; true when they are not empty.
    bool GetResourceBytes(const char* group, uint32_t id, std::string& out) const;

    const std::map<std::string, RecordGroup>& Groups() const { return m_groups; }

private:
    JsonValue m_document;
    std::map<std::string, RecordGroup> m_groups;
    bool m_loaded = false;
};

// The integer an entry's "id" stands for: integers as they are, booleans 0 or 1, reals
// truncated, strings parsed as decimal, anything else 0. Only values from 0 to 4294967295 name a
// record; false for the rest.
bool RecordIdOf(const JsonValue& id, uint32_t& recordId);
