#include "tools/mkinstaller/zip_payload.h"

#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "package/string_util.h"
#include "tools/mkinstaller/utf8_check.h"

namespace fs = std::filesystem;

namespace {

constexpr unsigned kUtf8NameFlag = 1u << 11;

// A temporary file that removes itself; minizip works on paths.
class TempFile {
public:
    TempFile()
    {
        char name[] = "/tmp/mkinstaller-XXXXXX";
        int fd = mkstemp(name);
        if (fd >= 0) {
            close(fd);
            m_path = name;
        }
    }
    ~TempFile()
    {
        if (!m_path.empty())
            std::remove(m_path.c_str());
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

bool ReadFileBytes(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

void SetZipTime(zip_fileinfo& info, const fs::path& path)
{
    struct stat st;
    time_t when = (stat(path.c_str(), &st) == 0) ? st.st_mtime : 0;
    struct tm local;
    localtime_r(&when, &local);
    info.tmz_date.tm_sec = local.tm_sec;
    info.tmz_date.tm_min = local.tm_min;
    info.tmz_date.tm_hour = local.tm_hour;
    info.tmz_date.tm_mday = local.tm_mday;
    info.tmz_date.tm_mon = local.tm_mon;
    info.tmz_date.tm_year = local.tm_year + 1900;
}

std::string AsciiLower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// CON, PRN, AUX, NUL, COM1..9 and LPT1..9 name devices on Windows, with or without an extension.
bool IsDeviceName(const std::string& part)
{
    std::string stem = AsciiLower(part.substr(0, part.find('.')));
    if (stem == "con" || stem == "prn" || stem == "aux" || stem == "nul")
        return true;
    return stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) && stem[3] >= '1' &&
           stem[3] <= '9';
}

}  // namespace

std::string CheckEntryName(const std::string& name)
{
    if (name.empty())
        return "empty entry name";
    if (!IsValidUtf8(name))
        return "entry name is not UTF-8: " + name;
    if (name[0] == '/' || name[0] == '\\' || (name.size() >= 2 && name[1] == ':'))
        return "absolute entry name: " + name;
    std::string body = name;
    if (body.back() == '/')
        body.pop_back();
    std::replace(body.begin(), body.end(), '\\', '/');
    std::vector<std::string> parts;
    SplitString(body, "/", parts);
    if (parts.empty() || body.back() == '/')
        return "entry name has an empty part: " + name;
    for (const std::string& part : parts) {
        if (part.empty())
            return "entry name has an empty part: " + name;
        if (part == ".." || part == ".")
            return "entry name has a '" + part + "' part: " + name;
        for (unsigned char c : part)
            if (c < 32 || std::strchr("<>:\"|?*", c) != nullptr)
                return "entry name has a character Windows cannot use in file names: " + name;
        if (part.back() == ' ' || part.back() == '.')
            return "entry name part ends with a space or dot, which Windows drops: " + name;
        if (IsDeviceName(part))
            return "entry name uses a reserved device name: " + name;
    }
    return std::string();
}

bool ZipFolder(const std::string& folder, std::string& zipBytes, std::string& error)
{
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        error = "payload folder not found: " + folder;
        return false;
    }
    struct Item {
        std::string name;
        fs::path path;
        bool isFolder;
    };
    std::vector<Item> items;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const fs::path& path = it->path();
        std::string name = fs::relative(path, folder).generic_string();
        bool isFolder = it->is_directory(ec);
        if (!isFolder && !it->is_regular_file(ec)) {
            error = "payload holds something that is neither a file nor a folder: " + name;
            return false;
        }
        if (isFolder)
            name += '/';
        std::string problem = CheckEntryName(name);
        if (!problem.empty()) {
            error = problem;
            return false;
        }
        items.push_back({name, path, isFolder});
    }
    if (ec) {
        error = "cannot read the payload folder: " + ec.message();
        return false;
    }
    std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.name < b.name; });

    TempFile temp;
    zipFile zip = temp.Path().empty() ? nullptr : zipOpen64(temp.Path().c_str(), APPEND_STATUS_CREATE);
    if (zip == nullptr) {
        error = "cannot create a temporary archive";
        return false;
    }
    bool ok = true;
    for (const Item& item : items) {
        zip_fileinfo info = {};
        SetZipTime(info, item.path);
        if (item.isFolder)
            info.external_fa = 0x10;  // FILE_ATTRIBUTE_DIRECTORY
        std::string bytes;
        if (!item.isFolder && !ReadFileBytes(item.path.string(), bytes)) {
            error = "cannot read payload file: " + item.name;
            ok = false;
            break;
        }
        int method = item.isFolder ? 0 : Z_DEFLATED;
        int level = item.isFolder ? 0 : Z_BEST_COMPRESSION;
        if (zipOpenNewFileInZip4_64(zip, item.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, method, level, 0,
                                    -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, 0, kUtf8NameFlag,
                                    bytes.size() >= 0xFFFFFFFFu) != ZIP_OK ||
            (!bytes.empty() && zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size())) != ZIP_OK) ||
            zipCloseFileInZip(zip) != ZIP_OK) {
            error = "cannot add to the archive: " + item.name;
            ok = false;
            break;
        }
    }
    if (zipClose(zip, nullptr) != ZIP_OK && ok) {
        error = "cannot finish the archive";
        ok = false;
    }
    if (ok && !ReadFileBytes(temp.Path(), zipBytes)) {
        error = "cannot read back the archive";
        ok = false;
    }
    return ok;
}

bool ListZipEntries(const std::string& zipBytes, std::vector<ZipEntry>& entries, std::string& error)
{
    entries.clear();
    TempFile temp;
    {
        std::ofstream out(temp.Path(), std::ios::binary);
        out.write(zipBytes.data(), static_cast<std::streamsize>(zipBytes.size()));
        if (!out) {
            error = "cannot write a temporary archive";
            return false;
        }
    }
    unzFile zip = unzOpen64(temp.Path().c_str());
    if (zip == nullptr) {
        error = "the payload is not a ZIP archive";
        return false;
    }
    int rc = unzGoToFirstFile(zip);
    while (rc == UNZ_OK) {
        unz_file_info64 info;
        char name[4096];
        if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) {
            rc = UNZ_BADZIPFILE;
            break;
        }
        entries.push_back({name, info.uncompressed_size, (info.flag & kUtf8NameFlag) != 0});
        rc = unzGoToNextFile(zip);
    }
    unzClose(zip);
    if (rc != UNZ_END_OF_LIST_OF_FILE) {
        error = "the payload archive is damaged";
        return false;
    }
    return true;
}

bool HasFileEntry(const std::vector<ZipEntry>& entries, const std::string& relpath)
{
    std::string wanted = relpath;
    std::replace(wanted.begin(), wanted.end(), '\\', '/');
    wanted = AsciiLower(wanted);
    for (const ZipEntry& entry : entries) {
        if (!entry.name.empty() && entry.name.back() != '/' && AsciiLower(entry.name) == wanted)
            return true;
    }
    return false;
}
