#include "tools/mkinstaller/package_report.h"

#include <fstream>
#include <iterator>
#include <ostream>

#include "package/base64.h"
#include "package/conversion_pool.h"
#include "package/install_manifest.h"
#include "package/json/json_reader.h"
#include "package/json/json_writer.h"
#include "package/package_config.h"
#include "package/package_trailer.h"
#include "tools/mkinstaller/config_builder.h"
#include "tools/mkinstaller/zip_payload.h"

namespace {

std::string Utf8(const std::wstring& text)
{
    return Narrow(text, kCodePageUtf8);
}

std::string FromCodePage(const char* text, unsigned codePage)
{
    return Narrow(Widen(text, codePage), kCodePageUtf8);
}

void PrintLicence(const JsonValue& config, std::ostream& out)
{
    std::wstring licence = DecodeProtocol(config);
    if (licence.empty()) {
        out << "licence: (none)\n";
        return;
    }
    out << "licence (" << licence.size() << " characters, first lines):\n";
    size_t start = 0;
    for (int line = 0; line < 3 && start < licence.size(); ++line) {
        size_t end = licence.find(L"\r\n", start);
        out << "  " << Utf8(licence.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start))
            << "\n";
        if (end == std::wstring::npos)
            break;
        start = end + 2;
    }
}

void PrintShortcuts(const JsonValue& shortcut, unsigned codePage, std::ostream& out)
{
    for (const char* kind : {"desktop", "taskbar"}) {
        const JsonValue& list = shortcut.Find(kind);
        for (uint32_t i = 0; i < list.Size(); ++i)
            out << "shortcut " << kind << ": \"" << FromCodePage(list.Element(i).Find("name").AsCString(), codePage)
                << "\" -> " << FromCodePage(list.Element(i).Find("file").AsCString(), codePage) << "\n";
    }
}

}  // namespace

int Inspect(const std::string& path, unsigned codePage, std::ostream& out, std::ostream& err)
{
    std::string bytes;
    {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            err << "mkinstaller: cannot read " << path << "\n";
            return 1;
        }
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    MemoryByteSource source(bytes);
    PackageTrailer trailer;
    TrailerStatus status = ReadTrailer(source, TrailerBounds::kConfigOnly, trailer);
    out << "file: " << path << " (" << bytes.size() << " bytes)\n";
    if (status != TrailerStatus::kOk) {
        out << "trailer offset T: " << trailer.offset << "\n";
        err << "mkinstaller: broken trailer: " << DescribeTrailerStatus(status) << "\n";
        return 2;
    }
    JsonValue config;
    JsonReader reader;
    if (!reader.Parse(trailer.configText.c_str(), config)) {
        err << "mkinstaller: broken trailer: configuration is not valid JSON: " << reader.GetErrorMessage()
            << " at byte " << reader.GetErrorOffset() << "\n";
        return 2;
    }
    PackageRole role = DecideRole(config);
    if (role == PackageRole::kRejected) {
        err << "mkinstaller: broken trailer: the configuration has no \"mode\", so the program refuses it\n";
        return 2;
    }
    const bool installer = role == PackageRole::kInstaller;
    if (installer)
        status = ReadTrailer(source, TrailerBounds::kWithPayload, trailer);
    out << "kind: " << (installer ? "installer" : "uninstaller") << "\n";
    out << "trailer offset T: " << trailer.offset << "\n";
    out << "configuration length L: " << trailer.configLength << "\n";
    if (installer)
        out << "payload length Z: " << trailer.payloadLength << "\n";
    if (status != TrailerStatus::kOk) {
        err << "mkinstaller: broken trailer: " << DescribeTrailerStatus(status) << "\n";
        return 2;
    }

    // The text as the program's own writer writes it, shown in UTF-8.
    // The licence is long; its value is cut short here and decoded below.
    JsonValue shown = DecodeStringsForDisplay(config, codePage);
    std::string protocol = shown.Find("protocol").AsCString();
    if (protocol.size() > 48)
        shown.Member("protocol") =
            JsonValue(protocol.substr(0, 40) + "...(" + std::to_string(protocol.size()) + " characters)");
    out << (installer ? "configuration" : "manifest") << " (code page " << codePage << ", shown as UTF-8"
        << (protocol.size() > 48 ? ", licence shortened" : "") << "):\n"
        << JsonWriter().Write(shown);
    out << "mode: " << config.Find("mode").AsInt64() << "\n";

    if (installer) {
        out << "lastrun: " << FromCodePage(config.Find("lastrun").AsCString(), codePage) << "\n";
        PrintShortcuts(config.Find("shortcut"), codePage, out);
        PrintLicence(config, out);
        std::string payload = bytes.substr(static_cast<size_t>(trailer.payloadStart), trailer.payloadLength);
        std::vector<ZipEntry> entries;
        std::string error;
        if (!ListZipEntries(payload, entries, error)) {
            out << "payload: " << error << "\n";
            return 0;
        }
        out << "payload entries (" << entries.size() << "):\n";
        for (const ZipEntry& entry : entries)
            out << "  " << entry.size << "\t" << entry.name << (entry.utf8Flag ? "" : "\t(name not marked UTF-8)")
                << "\n";
    } else {
        ManifestContents manifest = ReadManifest(config);
        out << "root: " << Utf8(manifest.root) << "\n";
        PrintShortcuts(manifest.shortcut, codePage, out);
        out << "files (" << manifest.files.size() << "):\n";
        for (const std::wstring& file : manifest.files)
            out << "  " << Utf8(file) << "\n";
        out << "folders (" << manifest.folders.size() << "):\n";
        for (const std::wstring& folder : manifest.folders)
            out << "  " << Utf8(folder) << "\n";
    }
    return 0;
}
