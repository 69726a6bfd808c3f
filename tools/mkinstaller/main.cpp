// mkinstaller: packs a publisher's application into an installer, and inspects installers and
// uninstaller copies.
//
//   mkinstaller build --stub STUB.exe --payload DIR|FILE.zip -o SETUP.exe [configuration] [signing]
//   mkinstaller inspect FILE.exe
//
// Exit codes: 0 success, 1 bad usage or a failed build, 2 a package whose trailer is broken.

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "package/json/json_reader.h"
#include "package/json/json_writer.h"
#include "package/package_config.h"
#include "package/package_trailer.h"
#include "tools/mkinstaller/config_builder.h"
#include "tools/mkinstaller/package_report.h"
#include "tools/mkinstaller/pe_image.h"
#include "tools/mkinstaller/zip_payload.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "usage:\n"
    "  mkinstaller build --stub STUB.exe --payload DIR|FILE.zip -o SETUP.exe CONFIGURATION [SIGNING]\n"
    "  mkinstaller inspect FILE.exe\n"
    "  mkinstaller --help\n"
    "\n"
    "CONFIGURATION is one of:\n"
    "  --config FILE.json         a UTF-8 JSON configuration, re-encoded to the code page\n"
    "  --config-raw FILE          configuration bytes embedded exactly as given\n"
    "  or these flags, which make one:\n"
    "  --lastrun FILE             the program the completion window offers to start\n"
    "  --licence TEXTFILE         the licence agreement (UTF-8 text)\n"
    "  --desktop-shortcut NAME=FILE   a desktop (and Start menu) shortcut; repeatable\n"
    "  --taskbar-shortcut NAME=FILE   a taskbar shortcut; repeatable\n"
    "  --codepage N               the target systems' ANSI code page (default 936)\n"
    "\n"
    "SIGNING (needs osslsigncode):\n"
    "  --sign-cert CERT.pem --sign-key KEY.pem\n"
    "\n"
    "A payload folder becomes a ZIP archive with UTF-8 names in sorted order. FILE arguments\n"
    "inside the configuration are relative to the install folder and must be in the payload.\n";

int Fail(const std::string& message, int code = 1)
{
    std::cerr << "mkinstaller: " << message << "\n";
    return code;
}

bool ReadFile(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Writes next to the target and renames, so a failure never leaves half a file behind.
bool WriteFileAtomically(const std::string& path, const std::string& bytes)
{
    std::string temp = path + ".partial";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::remove(temp.c_str());
            return false;
        }
    }
    std::error_code ec;
    fs::permissions(temp, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec, ec);
    fs::rename(temp, path, ec);
    if (ec) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

// Finds a "\u" escape in any key or string: the installer never decodes them, so they would show
// as literal text.
bool FindUnicodeEscape(const JsonValue& value, std::string& where)
{
    switch (value.GetType()) {
    case JsonValue::kString:
        if (std::strstr(value.AsCString(), "\\u") != nullptr) {
            where = value.AsCString();
            return true;
        }
        return false;
    case JsonValue::kArray:
        for (uint32_t i = 0; i < value.Size(); ++i)
            if (FindUnicodeEscape(value.Element(i), where))
                return true;
        return false;
    case JsonValue::kObject: {
        std::vector<std::string> names;
        value.GetMemberNames(names);
        for (const std::string& name : names) {
            if (name.find("\\u") != std::string::npos) {
                where = name;
                return true;
            }
            if (FindUnicodeEscape(value.Find(name.c_str()), where))
                return true;
        }
        return false;
    }
    default:
        return false;
    }
}

// Every file the configuration names (lastrun, shortcut targets) must be in the payload.
bool CheckNamedFiles(const JsonValue& utf8Config, const std::vector<ZipEntry>& entries, std::string& error)
{
    std::vector<std::string> files;
    if (utf8Config.Find("lastrun").GetType() == JsonValue::kString)
        files.push_back(utf8Config.Find("lastrun").AsCString());
    for (const char* kind : {"desktop", "taskbar"}) {
        const JsonValue& list = utf8Config.Find("shortcut").Find(kind);
        for (uint32_t i = 0; i < list.Size(); ++i)
            files.push_back(list.Element(i).Find("file").AsCString());
    }
    for (const std::string& file : files) {
        if (file.empty() || !HasFileEntry(entries, file)) {
            error = "the payload holds no file \"" + file + "\" named by the configuration";
            return false;
        }
    }
    return true;
}

int RunCommand(const std::vector<std::string>& arguments)
{
    std::string command;
    for (const std::string& argument : arguments) {
        command += " '";
        for (char c : argument)
            command += (c == '\'') ? std::string("'\\''") : std::string(1, c);
        command += "'";
    }
    command += " >/dev/null";
    int status = std::system(command.c_str() + 1);
    return (status != -1 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
}

int Build(const std::vector<std::string>& args)
{
    std::string stubPath, payloadPath, outPath, configPath, rawConfigPath, licencePath, certPath, keyPath;
    unsigned codePage = 936;
    ConfigOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& flag = args[i];
        auto value = [&](std::string& target) {
            if (i + 1 >= args.size())
                return false;
            target = args[++i];
            return true;
        };
        std::string text;
        bool ok = true;
        if (flag == "--stub")
            ok = value(stubPath);
        else if (flag == "--payload")
            ok = value(payloadPath);
        else if (flag == "-o" || flag == "--output")
            ok = value(outPath);
        else if (flag == "--config")
            ok = value(configPath);
        else if (flag == "--config-raw")
            ok = value(rawConfigPath);
        else if (flag == "--lastrun")
            ok = value(options.lastrun);
        else if (flag == "--licence" || flag == "--license")
            ok = value(licencePath);
        else if (flag == "--sign-cert")
            ok = value(certPath);
        else if (flag == "--sign-key")
            ok = value(keyPath);
        else if (flag == "--codepage") {
            ok = value(text);
            char* end = nullptr;
            unsigned long number = ok ? std::strtoul(text.c_str(), &end, 10) : 0;
            if (!ok || text.empty() || *end != '\0' || number == 0 || number > 65535)
                return Fail("--codepage needs a code page number such as 936");
            codePage = static_cast<unsigned>(number);
        } else if (flag == "--desktop-shortcut" || flag == "--taskbar-shortcut") {
            ShortcutEntry entry;
            std::string error;
            if (!value(text))
                ok = false;
            else if (!ParseShortcutArgument(text, entry, error))
                return Fail(error);
            else
                (flag == "--desktop-shortcut" ? options.desktop : options.taskbar).push_back(entry);
        } else
            return Fail("unknown option for build: " + flag + " (see --help)");
        if (!ok)
            return Fail(flag + " needs a value");
    }
    if (stubPath.empty() || payloadPath.empty() || outPath.empty())
        return Fail("build needs --stub, --payload and -o (see --help)");
    bool flagConfig = !options.lastrun.empty() || !licencePath.empty() || !options.desktop.empty() ||
                      !options.taskbar.empty();
    if ((!configPath.empty()) + (!rawConfigPath.empty()) + flagConfig > 1)
        return Fail("give the configuration one way only: --config, --config-raw or the configuration flags");
    if (certPath.empty() != keyPath.empty())
        return Fail("signing needs both --sign-cert and --sign-key");

    std::string stub;
    if (!ReadFile(stubPath, stub))
        return Fail("cannot read the stub: " + stubPath);
    std::string error;
    PeLayout layout;
    if (!ParsePeLayout(stub, layout, error))
        return Fail(stubPath + ": " + error);

    std::string payload;
    std::error_code ec;
    if (fs::is_directory(payloadPath, ec)) {
        if (!ZipFolder(payloadPath, payload, error))
            return Fail(error);
    } else if (!ReadFile(payloadPath, payload)) {
        return Fail("cannot read the payload: " + payloadPath);
    }
    std::vector<ZipEntry> entries;
    if (!ListZipEntries(payload, entries, error))
        return Fail(payloadPath + ": " + error);
    for (const ZipEntry& entry : entries) {
        std::string problem = CheckEntryName(entry.name);
        if (!problem.empty())
            return Fail(payloadPath + ": " + problem);
    }

    std::string configText;
    if (!rawConfigPath.empty()) {
        if (!ReadFile(rawConfigPath, configText))
            return Fail("cannot read the configuration: " + rawConfigPath);
    } else {
        JsonValue config;
        if (!configPath.empty()) {
            std::string text;
            if (!ReadFile(configPath, text))
                return Fail("cannot read the configuration: " + configPath);
            if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
                text.erase(0, 3);
            JsonReader reader;
            if (!reader.Parse(text, config))
                return Fail(configPath + ": " + reader.GetErrorMessage() + " at byte " +
                            std::to_string(reader.GetErrorOffset()));
            if (config.GetType() != JsonValue::kObject || !config.IsMember("mode"))
                return Fail(configPath + ": the configuration needs a \"mode\" member, or the installer refuses it");
            std::string where;
            if (FindUnicodeEscape(config, where))
                return Fail(configPath + ": write characters as they are, not as \\u escapes, which the installer "
                                         "shows literally: " + where);
        } else {
            if (!licencePath.empty()) {
                if (!ReadFile(licencePath, options.licenceText))
                    return Fail("cannot read the licence: " + licencePath);
                options.hasLicence = true;
            }
            if (!BuildConfig(options, config, error))
                return Fail(error);
        }
        if (!CheckNamedFiles(config, entries, error))
            return Fail(error);
        if (!ReencodeStrings(config, codePage, error))
            return Fail(error);
        configText = JsonWriter().Write(config);
    }

    std::string package;
    if (!AssemblePackage(stub, configText, payload, package, error))
        return Fail(error);

    if (!certPath.empty()) {
        std::string unsignedPath = outPath + ".unsigned";
        std::string signedPath = outPath + ".signed";
        if (!WriteFileAtomically(unsignedPath, package))
            return Fail("cannot write " + unsignedPath);
        std::remove(signedPath.c_str());
        int rc = RunCommand({"osslsigncode", "sign", "-certs", certPath, "-key", keyPath, "-n",
                             fs::path(outPath).stem().string(), "-in", unsignedPath, "-out", signedPath});
        std::remove(unsignedPath.c_str());
        if (rc != 0 || !ReadFile(signedPath, package)) {
            std::remove(signedPath.c_str());
            return Fail("signing failed (osslsigncode exit code " + std::to_string(rc) + ")");
        }
        std::remove(signedPath.c_str());
        // The signature table must come after the trailer, or the installer could not read itself.
        JsonValue check;
        PackageTrailer trailer;
        std::string_view view;
        TrailerStatus status = ParseInstallerImage(package, check, trailer, view);
        if (status != TrailerStatus::kOk || view != payload)
            return Fail(std::string("the signed file no longer reads its package: ") + DescribeTrailerStatus(status));
    }

    if (!WriteFileAtomically(outPath, package))
        return Fail("cannot write " + outPath);
    std::cout << outPath << ": " << package.size() << " bytes, trailer at " << layout.imageEnd << ", configuration "
              << configText.size() << " bytes, payload " << payload.size() << " bytes in " << entries.size()
              << " entries" << (certPath.empty() ? "" : ", signed") << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return Fail("no command given (see --help)");
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::cout << kUsage;
        return 0;
    }
    std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "build")
        return Build(rest);
    if (args[0] == "inspect") {
        unsigned codePage = 936;
        std::string file;
        for (size_t i = 0; i < rest.size(); ++i) {
            if (rest[i] == "--codepage" && i + 1 < rest.size())
                codePage = static_cast<unsigned>(std::strtoul(rest[++i].c_str(), nullptr, 10));
            else if (file.empty())
                file = rest[i];
            else
                return Fail("inspect takes one file (see --help)");
        }
        if (file.empty())
            return Fail("inspect needs a file (see --help)");
        return Inspect(file, codePage, std::cout, std::cerr);
    }
    return Fail("unknown command: " + args[0] + " (see --help)");
}
