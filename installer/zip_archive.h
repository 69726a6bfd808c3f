#pragma once

// Reading the payload archive through zlib's unzip interface, one entry at a time.

#include <cstdint>
#include <string>
#include <string_view>

class ZipArchive {
public:
    ZipArchive() = default;
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool Open(const std::wstring& path);
    void Close();

    bool GoToFirstEntry();
    bool GoToNextEntry();
    // The current entry's name as stored (UTF-8 for our archives); false when unreadable.
    bool CurrentEntryName(std::string& name);
    bool OpenCurrentEntry();
    // Decompressed bytes into buffer: the count, 0 at the end, negative on a read error.
    int ReadCurrentEntry(void* buffer, unsigned size);
    // False when the entry's check sum did not match what was read.
    bool CloseCurrentEntry();

    // Whether bytes are an archive without entries: only the end-of-directory record. zlib's
    // unzip interface refuses to open such an archive, though it is a valid one.
    static bool IsEmptyArchive(std::string_view bytes);

private:
    void* m_file = nullptr;
};

// Opens an archive with the platform's file functions (a wide path on Windows).
void* OpenZipFile(const std::wstring& path);
