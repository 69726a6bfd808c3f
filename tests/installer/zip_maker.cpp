#include "zip_maker.h"

#include <minizip/zip.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

std::string MakeZip(const ZipEntries& entries)
{
    char path[] = "/tmp/qv-zip-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0)
        return std::string();
    close(fd);
    zipFile zip = zipOpen64(path, APPEND_STATUS_CREATE);
    for (const auto& entry : entries) {
        zip_fileinfo info = {};
        zipOpenNewFileInZip4_64(zip, entry.first.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, 0, 0, 0,
                                -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, 0, 1 << 11, 0);
        if (!entry.second.empty())
            zipWriteInFileInZip(zip, entry.second.data(), static_cast<unsigned>(entry.second.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path);
    return bytes;
}
