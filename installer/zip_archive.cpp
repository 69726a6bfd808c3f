#include "installer/zip_archive.h"

#include <minizip/unzip.h>

#include <cstring>

ZipArchive::~ZipArchive()
{
    Close();
}

bool ZipArchive::Open(const std::wstring& path)
{
    Close();
    m_file = OpenZipFile(path);
    return m_file != nullptr;
}

void ZipArchive::Close()
{
    if (m_file != nullptr)
        unzClose(static_cast<unzFile>(m_file));
    m_file = nullptr;
}

bool ZipArchive::GoToFirstEntry()
{
    return m_file != nullptr && unzGoToFirstFile(static_cast<unzFile>(m_file)) == UNZ_OK;
}

bool ZipArchive::GoToNextEntry()
{
    return m_file != nullptr && unzGoToNextFile(static_cast<unzFile>(m_file)) == UNZ_OK;
}

bool ZipArchive::CurrentEntryName(std::string& name)
{
    unz_file_info64 info;
    std::memset(&info, 0, sizeof info);
    char buffer[1024];
    std::memset(buffer, 0, sizeof buffer);
    if (m_file == nullptr ||
        unzGetCurrentFileInfo64(static_cast<unzFile>(m_file), &info, buffer, sizeof buffer - 1, nullptr, 0, nullptr,
                                0) != UNZ_OK)
        return false;
    name = buffer;
    return true;
}

bool ZipArchive::OpenCurrentEntry()
{
    return m_file != nullptr && unzOpenCurrentFile(static_cast<unzFile>(m_file)) == UNZ_OK;
}

int ZipArchive::ReadCurrentEntry(void* buffer, unsigned size)
{
    return m_file != nullptr ? unzReadCurrentFile(static_cast<unzFile>(m_file), buffer, size) : -1;
}

bool ZipArchive::CloseCurrentEntry()
{
    return m_file != nullptr && unzCloseCurrentFile(static_cast<unzFile>(m_file)) == UNZ_OK;
}

bool ZipArchive::IsEmptyArchive(std::string_view bytes)
{
    // "PK\5\6", disk numbers, entry counts and directory size all zero, then the comment.
    if (bytes.size() < 22 || bytes.compare(0, 4, std::string_view("PK\x05\x06", 4)) != 0)
        return false;
    for (size_t i = 4; i < 20; ++i)
        if (bytes[i] != 0)
            return false;
    size_t commentLength = static_cast<unsigned char>(bytes[20]) | (static_cast<unsigned char>(bytes[21]) << 8);
    return bytes.size() == 22 + commentLength;
}
