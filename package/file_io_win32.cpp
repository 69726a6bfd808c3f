#include <windows.h>

#include <cstdio>

#include "package/byte_source.h"
#include "package/file_io.h"

namespace {

class Win32FileByteSource : public ByteSource {
public:
    Win32FileByteSource(HANDLE file, uint64_t size) : m_file(file), m_size(size) {}
    ~Win32FileByteSource() override { CloseHandle(m_file); }

    uint64_t Size() const override { return m_size; }

    bool ReadAt(uint64_t offset, void* buffer, size_t count) override
    {
        if (offset > m_size || count > m_size - offset)
            return false;
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(offset);
        if (!SetFilePointerEx(m_file, position, nullptr, FILE_BEGIN))
            return false;
        char* out = static_cast<char*>(buffer);
        while (count > 0) {
            DWORD chunk = count > 0x100000 ? 0x100000 : static_cast<DWORD>(count);
            DWORD done = 0;
            if (!ReadFile(m_file, out, chunk, &done, nullptr) || done == 0)
                return false;
            out += done;
            count -= done;
        }
        return true;
    }

private:
    HANDLE m_file;
    uint64_t m_size;
};

}  // namespace

std::unique_ptr<ByteSource> OpenFileByteSource(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return nullptr;
    }
    return std::make_unique<Win32FileByteSource>(file, static_cast<uint64_t>(size.QuadPart));
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes)
{
    bytes.clear();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < 0x7FFFFFFF)
        bytes.reserve(static_cast<size_t>(size.QuadPart));
    char piece[40960];
    for (;;) {
        DWORD done = 0;
        if (!ReadFile(file, piece, sizeof piece, &done, nullptr)) {
            CloseHandle(file);
            bytes.clear();
            return false;
        }
        if (done == 0)
            break;
        bytes.append(piece, done);
    }
    CloseHandle(file);
    return true;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    FILE* file = nullptr;
    if (_wfopen_s(&file, path.c_str(), L"wb") != 0 || file == nullptr)
        return false;
    size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), file);
    bool closed = std::fclose(file) == 0;
    return written == bytes.size() && closed;
}
