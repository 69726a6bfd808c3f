#include "fake_system.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "installer/stdio_file_writer.h"
#include "package/conversion_pool.h"
#include "package/json/json_reader.h"
#include "package/package_trailer.h"

namespace fs = std::filesystem;

namespace {

// Stores only the first bytes given to it, then reports short writes.
class FullDiskWriter : public FileWriter {
public:
    FullDiskWriter(std::unique_ptr<FileWriter> file, size_t room) : m_file(std::move(file)), m_room(room) {}
    bool Write(const void* bytes, size_t count) override
    {
        const size_t stored = count < m_room ? count : m_room;
        m_room -= stored;
        return m_file->Write(bytes, stored) && stored == count;
    }
    bool Close() override { return m_file->Close(); }

private:
    std::unique_ptr<FileWriter> m_file;
    size_t m_room;
};

// The package in memory, failing reads past a given length.
class ImageSource : public ByteSource {
public:
    ImageSource(const std::string& bytes, uint64_t readable) : m_bytes(bytes), m_readable(readable) {}
    uint64_t Size() const override { return m_bytes.Size(); }
    bool ReadAt(uint64_t offset, void* buffer, size_t count) override
    {
        return offset + count <= m_readable && m_bytes.ReadAt(offset, buffer, count);
    }

private:
    MemoryByteSource m_bytes;
    uint64_t m_readable;
};

}  // namespace

FakeSystem::FakeSystem()
{
    char pattern[] = "/tmp/qv-sequence-XXXXXX";
    const char* made = mkdtemp(pattern);
    // Kept in Windows form, as the sequences build every path with backslashes.
    m_root = Widen(made != nullptr ? made : "/tmp/qv-sequence-failed", kCodePageUtf8);
    std::replace(m_root.begin(), m_root.end(), L'/', L'\\');
    fs::create_directories(Host(TempFolder()));
}

FakeSystem::~FakeSystem()
{
    std::error_code ec;
    fs::remove_all(Host(m_root), ec);
}

std::string FakeSystem::Host(const std::wstring& path)
{
    std::wstring native = path;
    std::replace(native.begin(), native.end(), L'\\', L'/');
    return Narrow(native, kCodePageUtf8);
}

std::unique_ptr<ByteSource> FakeSystem::OpenOwnImage()
{
    if (!packageReadable)
        return nullptr;
    return std::make_unique<ImageSource>(image, readableBytes);
}

bool FakeSystem::ReadOwnConfig(JsonValue& config)
{
    config = ownConfig;
    return packageReadable;
}

bool FakeSystem::WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    std::ofstream out(Host(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

bool FakeSystem::EnsureFolder(const std::wstring& path)
{
    std::error_code ec;
    fs::create_directories(Host(path), ec);
    return fs::is_directory(Host(path), ec);
}

std::unique_ptr<FileWriter> FakeSystem::OpenForWrite(const std::wstring& path)
{
    auto locked = lockedOpens.find(path);
    if (locked != lockedOpens.end()) {
        lockedOpens.erase(locked);
        return nullptr;
    }
    FILE* file = std::fopen(Host(path).c_str(), "wb");
    if (file == nullptr)
        return nullptr;
    auto full = fullDiskAfter.find(path);
    if (full != fullDiskAfter.end())
        return std::make_unique<FullDiskWriter>(std::make_unique<StdioFileWriter>(file), full->second);
    return std::make_unique<StdioFileWriter>(file);
}

bool FakeSystem::RemoveFile(const std::wstring& path)
{
    auto locked = lockedDeletes.find(path);
    if (locked != lockedDeletes.end()) {
        lockedDeletes.erase(locked);
        return false;
    }
    std::error_code ec;
    return fs::is_regular_file(Host(path), ec) && fs::remove(Host(path), ec);
}

bool FakeSystem::RemoveEmptyFolder(const std::wstring& path)
{
    std::error_code ec;
    return fs::is_directory(Host(path), ec) && fs::is_empty(Host(path), ec) && fs::remove(Host(path), ec);
}

bool FakeSystem::PathExists(const std::wstring& path)
{
    std::error_code ec;
    return fs::exists(Host(path), ec);
}

bool FakeSystem::IsDirectoryEmpty(const std::wstring& path)
{
    std::error_code ec;
    return fs::is_directory(Host(path), ec) && fs::is_empty(Host(path), ec);
}

bool FakeSystem::ShellDeleteIfExists(const std::wstring& path)
{
    std::error_code ec;
    if (!fs::exists(Host(path), ec))
        return false;
    return fs::remove_all(Host(path), ec) > 0;
}

bool FakeSystem::ShellDeleteFolder(const std::wstring& path)
{
    std::error_code ec;
    return fs::remove_all(Host(path), ec) > 0;
}

void FakeSystem::TerminateProcessesByName(const std::wstring& name)
{
    calls.push_back(L"terminate " + name);
    runningPrograms.erase(name);
}

bool FakeSystem::CreateDesktopShortcut(const std::wstring& name, const std::wstring& target)
{
    calls.push_back(L"desktop " + name + L" -> " + target);
    return true;
}

bool FakeSystem::CreateQuickLaunchShortcut(const std::wstring& name, const std::wstring& target)
{
    calls.push_back(L"quicklaunch " + name + L" -> " + target);
    return true;
}

bool FakeSystem::DeleteDesktopShortcut(const std::wstring& name)
{
    calls.push_back(L"delete desktop " + name);
    return true;
}

bool FakeSystem::DeleteQuickLaunchShortcut(const std::wstring& name)
{
    calls.push_back(L"delete quicklaunch " + name);
    return true;
}

bool FakeSystem::HasCall(const std::wstring& call) const
{
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

std::vector<std::string> FakeSystem::Tree() const
{
    std::vector<std::string> tree;
    const std::string root = Host(m_root);
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::string name = fs::relative(entry.path(), root).generic_string();
        tree.push_back(entry.is_directory() ? name + "/" : name);
    }
    std::sort(tree.begin(), tree.end());
    return tree;
}
