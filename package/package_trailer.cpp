#include "package/package_trailer.h"

#include "package/file_io.h"
#include "package/json/json_reader.h"
#include "package/json/json_writer.h"

uint32_t ReadLittleEndian32(const void* bytes)
{
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

void AppendLittleEndian32(std::string& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

const char* DescribeTrailerStatus(TrailerStatus status)
{
    switch (status) {
    case TrailerStatus::kOk:
        return "ok";
    case TrailerStatus::kUnreadable:
        return "the file cannot be read";
    case TrailerStatus::kNoHeader:
        return "no DOS header with room for the trailer offset before the PE signature";
    case TrailerStatus::kOffsetOutOfBounds:
        return "trailer offset out of bounds (need 0 < T < size)";
    case TrailerStatus::kConfigOutOfBounds:
        return "configuration out of bounds (need T + 4 + L <= size)";
    case TrailerStatus::kPayloadOutOfBounds:
        return "payload out of bounds (need T + 8 + L + Z <= size)";
    case TrailerStatus::kConfigUnparsable:
        return "configuration is not valid JSON";
    }
    return "unknown";
}

namespace {

bool ReadU32(ByteSource& source, uint64_t offset, uint32_t& value)
{
    unsigned char bytes[4];
    if (!source.ReadAt(offset, bytes, sizeof bytes))
        return false;
    value = ReadLittleEndian32(bytes);
    return true;
}

}  // namespace

TrailerStatus ReadTrailer(ByteSource& source, TrailerBounds bounds, PackageTrailer& trailer)
{
    trailer = PackageTrailer();
    const uint64_t size = source.Size();

    unsigned char header[kDosHeaderSize];
    if (!source.ReadAt(0, header, sizeof header))
        return TrailerStatus::kNoHeader;
    const uint64_t peOffset = ReadLittleEndian32(header + kPeOffsetField);
    if (peOffset < 4)
        return TrailerStatus::kNoHeader;
    uint32_t t = 0;
    if (!ReadU32(source, peOffset - 4, t))
        return TrailerStatus::kNoHeader;
    trailer.offset = t;
    if (t == 0 || t >= size)
        return TrailerStatus::kOffsetOutOfBounds;

    uint32_t l = 0;
    if (!ReadU32(source, t, l))
        return TrailerStatus::kConfigOutOfBounds;
    trailer.configLength = l;
    const uint64_t configEnd = uint64_t{t} + 4 + l;
    if (configEnd > size)
        return TrailerStatus::kConfigOutOfBounds;

    if (bounds == TrailerBounds::kWithPayload) {
        uint32_t z = 0;
        if (!ReadU32(source, configEnd, z))
            return TrailerStatus::kPayloadOutOfBounds;
        trailer.payloadLength = z;
        trailer.payloadStart = configEnd + 4;
        if (trailer.payloadStart + z > size)
            return TrailerStatus::kPayloadOutOfBounds;
    }

    // Bound 2 holds, so the buffer is no larger than the file itself.
    trailer.configText.resize(l);
    if (l != 0 && !source.ReadAt(uint64_t{t} + 4, &trailer.configText[0], l))
        return TrailerStatus::kUnreadable;
    return TrailerStatus::kOk;
}

namespace {

TrailerStatus ReadAndParse(ByteSource& source, TrailerBounds bounds, PackageTrailer& trailer, JsonValue& document)
{
    TrailerStatus status = ReadTrailer(source, bounds, trailer);
    if (status != TrailerStatus::kOk)
        return status;
    // The reader stops at the first zero byte, as the text buffer's terminator guarantees.
    JsonReader reader;
    return reader.Parse(trailer.configText.c_str(), document) ? TrailerStatus::kOk
                                                             : TrailerStatus::kConfigUnparsable;
}

}  // namespace

TrailerStatus ReadPackageConfigFrom(ByteSource& source, JsonValue& document)
{
    PackageTrailer trailer;
    return ReadAndParse(source, TrailerBounds::kConfigOnly, trailer, document);
}

TrailerStatus ReadInstallerTrailer(ByteSource& source, JsonValue& document, PackageTrailer& trailer)
{
    return ReadAndParse(source, TrailerBounds::kWithPayload, trailer, document);
}

TrailerStatus ParseInstallerImage(const std::string& bytes, JsonValue& document, PackageTrailer& trailer,
                                  std::string_view& payload)
{
    payload = std::string_view();
    MemoryByteSource source(bytes);
    TrailerStatus status = ReadInstallerTrailer(source, document, trailer);
    if (status != TrailerStatus::kOk)
        return status;
    payload = std::string_view(bytes).substr(static_cast<size_t>(trailer.payloadStart), trailer.payloadLength);
    return TrailerStatus::kOk;
}

std::string BuildUninstallerCopy(const std::string& installerBytes, uint32_t trailerOffset, const JsonValue& manifest)
{
    if (trailerOffset == 0 || trailerOffset >= installerBytes.size())
        return std::string();
    std::string tail = UninstallerCopyTail(manifest);
    std::string copy;
    copy.reserve(size_t{trailerOffset} + tail.size());
    copy.append(installerBytes, 0, trailerOffset);
    copy += tail;
    return copy;
}

std::string UninstallerCopyTail(const JsonValue& manifest)
{
    std::string text = JsonWriter().Write(manifest);
    std::string tail;
    AppendLittleEndian32(tail, static_cast<uint32_t>(text.size()));
    tail += text;
    return tail;
}

bool WriteUninstallerCopy(const std::string& installerBytes, uint32_t trailerOffset, const JsonValue& manifest,
                          const std::wstring& installFolder)
{
    std::string copy = BuildUninstallerCopy(installerBytes, trailerOffset, manifest);
    if (copy.empty())
        return false;
    return WriteWholeFile(installFolder + L"\\" + kUninstallerFileName, copy);
}
