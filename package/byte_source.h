#pragma once

// ByteSource: random access to the bytes of a file, so the package readers can run over a real
// file (Windows or POSIX) or over bytes in memory alike.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Reads exactly count bytes at offset; false when any of them lies outside the source or the
    // read fails.
    virtual bool ReadAt(uint64_t offset, void* buffer, size_t count) = 0;
};

class MemoryByteSource : public ByteSource {
public:
    explicit MemoryByteSource(const std::string& bytes) : m_bytes(bytes) {}
    uint64_t Size() const override { return m_bytes.size(); }
    bool ReadAt(uint64_t offset, void* buffer, size_t count) override;

private:
    const std::string& m_bytes;
};

// Opens a file for reading with sharing for other readers; null when it cannot be opened.
std::unique_ptr<ByteSource> OpenFileByteSource(const std::wstring& path);
