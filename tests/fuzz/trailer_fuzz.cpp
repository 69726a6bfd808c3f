// Feeds arbitrary files to the package readers: the start-up reader, the install's reader, and
// what the uninstaller does with a manifest. None may crash, read outside the file, or hand out
// a payload that does not lie inside it.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "package/install_manifest.h"
#include "package/json/json_writer.h"
#include "package/package_config.h"
#include "package/package_trailer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);

    MemoryByteSource source(bytes);
    JsonValue config;
    if (ReadPackageConfigFrom(source, config) == TrailerStatus::kOk) {
        DecideRole(config);
        DecodeProtocol(config);
        ReadManifest(config);
    }

    JsonValue document;
    PackageTrailer trailer;
    std::string_view payload;
    if (ParseInstallerImage(bytes, document, trailer, payload) == TrailerStatus::kOk) {
        if (payload.data() < bytes.data() || payload.data() + payload.size() > bytes.data() + bytes.size())
            std::abort();
        if (trailer.offset == 0 || trailer.offset >= size)
            std::abort();
        // The uninstaller copy keeps bytes 0 .. T - 1, so it finds its own trailer again whenever
        // the trailer offset itself lies inside them, and carries the writer's text.
        std::string copy = BuildUninstallerCopy(bytes, trailer.offset, document);
        uint64_t peOffset = ReadLittleEndian32(bytes.data() + kPeOffsetField);
        if (peOffset <= trailer.offset) {
            MemoryByteSource copySource(copy);
            PackageTrailer copyTrailer;
            if (ReadTrailer(copySource, TrailerBounds::kConfigOnly, copyTrailer) != TrailerStatus::kOk ||
                copyTrailer.offset != trailer.offset || copyTrailer.configText != JsonWriter().Write(document))
                std::abort();
        }
    }
    return 0;
}
