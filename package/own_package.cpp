#include "package/own_package.h"

#include "package/file_io.h"
#include "package/shell_util.h"

TrailerStatus ReadPackageConfigFile(const std::wstring& path, JsonValue& document)
{
    std::unique_ptr<ByteSource> source = OpenFileByteSource(path);
    if (!source)
        return TrailerStatus::kUnreadable;
    return ReadPackageConfigFrom(*source, document);
}

TrailerStatus ReadPackageTrailerFile(const std::wstring& path, JsonValue& document, std::string& bytes,
                                     uint32_t& trailerOffset, std::string_view& payload)
{
    trailerOffset = 0;
    payload = std::string_view();
    if (!ReadWholeFile(path, bytes))
        return TrailerStatus::kUnreadable;
    PackageTrailer trailer;
    TrailerStatus status = ParseInstallerImage(bytes, document, trailer, payload);
    if (status == TrailerStatus::kOk)
        trailerOffset = trailer.offset;
    return status;
}

bool ReadPackageConfig(JsonValue& document)
{
    std::wstring path = GetModulePath();
    return !path.empty() && ReadPackageConfigFile(path, document) == TrailerStatus::kOk;
}

std::unique_ptr<ByteSource> OpenOwnImage()
{
    std::wstring path = GetModulePath();
    return path.empty() ? nullptr : OpenFileByteSource(path);
}
