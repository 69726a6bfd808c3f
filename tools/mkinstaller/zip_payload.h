#pragma once

// The payload archive: a deflated ZIP whose entry names are UTF-8 (general-purpose flag bit 11)
// and whose folders are "name/" entries. Names are checked so that no entry can land outside the
// install folder or carry a name Windows cannot create.

#include <cstdint>
#include <string>
#include <vector>

struct ZipEntry {
    std::string name;  // UTF-8, "/" separated; folders end with "/"
    uint64_t size = 0;
    bool utf8Flag = false;
};

// Why a name may not be extracted, or empty when it may.
std::string CheckEntryName(const std::string& name);

// Packs the folder's contents in byte-wise sorted order of their relative names, which puts
// every folder entry before its contents.
bool ZipFolder(const std::string& folder, std::string& zipBytes, std::string& error);

// Lists the entries of a ZIP archive held in memory.
bool ListZipEntries(const std::string& zipBytes, std::vector<ZipEntry>& entries, std::string& error);

// Whether the archive holds the file relpath ("/" or "\" separated), ignoring ASCII case as
// Windows does.
bool HasFileEntry(const std::vector<ZipEntry>& entries, const std::string& relpath);
