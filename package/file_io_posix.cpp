#include <cstdio>

#include "package/byte_source.h"
#include "package/conversion_pool.h"
#include "package/file_io.h"

// The native build names files by the UTF-8 form of their wide path.

namespace {

std::string NativePath(const std::wstring& path)
{
    return Narrow(path, kCodePageUtf8);
}

class PosixFileByteSource : public ByteSource {
public:
    PosixFileByteSource(FILE* file, uint64_t size) : m_file(file), m_size(size) {}
    ~PosixFileByteSource() override { std::fclose(m_file); }

    uint64_t Size() const override { return m_size; }

    bool ReadAt(uint64_t offset, void* buffer, size_t count) override
    {
        if (offset > m_size || count > m_size - offset)
            return false;
        if (fseeko(m_file, static_cast<off_t>(offset), SEEK_SET) != 0)
            return false;
        return std::fread(buffer, 1, count, m_file) == count;
    }

private:
    FILE* m_file;
    uint64_t m_size;
};

}  // namespace

std::unique_ptr<ByteSource> OpenFileByteSource(const std::wstring& path)
{
    FILE* file = std::fopen(NativePath(path).c_str(), "rb");
    if (file == nullptr)
        return nullptr;
    if (fseeko(file, 0, SEEK_END) != 0) {
        std::fclose(file);
        return nullptr;
    }
    off_t size = ftello(file);
    if (size < 0) {
        std::fclose(file);
        return nullptr;
    }
    return std::make_unique<PosixFileByteSource>(file, static_cast<uint64_t>(size));
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes)
{
    bytes.clear();
    FILE* file = std::fopen(NativePath(path).c_str(), "rb");
    if (file == nullptr)
        return false;
    char piece[40960];
    for (;;) {
        size_t done = std::fread(piece, 1, sizeof piece, file);
        bytes.append(piece, done);
        if (done < sizeof piece) {
            bool failed = std::ferror(file) != 0;
            std::fclose(file);
            if (failed)
                bytes.clear();
            return !failed;
        }
    }
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    FILE* file = std::fopen(NativePath(path).c_str(), "wb");
    if (file == nullptr)
        return false;
    size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), file);
    bool closed = std::fclose(file) == 0;
    return written == bytes.size() && closed;
}
