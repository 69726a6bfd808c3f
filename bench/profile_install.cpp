// Runs the install sequence natively on a real packed installer, so that a profiler can show
// where an install's time goes without Wine in the way:
//
//     profile_install INSTALLER WORK_FOLDER [ROUNDS]
//
// Each round installs INSTALLER's payload into WORK_FOLDER/install, with the temporary archive
// in WORK_FOLDER/temp, then removes both. The sequence is the product's own RunInstall over the
// tests' real-file shell, except that the program's own file is INSTALLER, read through
// OpenFileByteSource as the program reads itself. Every read of the installer and every write
// is timed, and the phases are cut where the sequence opens, closes or removes the files that
// mark them: the temporary archive, the installed files, the uninstaller copy. One line per
// round goes to standard output; run it under `perf record -g` or callgrind for the functions.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <string>

#include "fake_system.h"
#include "installer/install_sequence.h"
#include "package/conversion_pool.h"
#include "package/package_trailer.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

enum class Target { kTempArchive, kInstalledFile, kUninstaller };

struct Totals {
    double imageRead = 0;       // ReadAt on the installer
    double write[3] = {};       // Write, by target
    double close[3] = {};       // Close (fclose: the last buffered bytes and the descriptor)
    double open[3] = {};        // OpenForWrite
    uint64_t bytes[3] = {};
    unsigned files[3] = {};
    // The phase boundaries, in seconds from the start of RunInstall.
    double archiveWritten = 0;  // the temporary archive closed
    double archiveRemoved = 0;  // extraction over, the archive removed
    double uninstallerOpened = 0;
    double uninstallerClosed = 0;
};

class TimedSource : public ByteSource {
public:
    TimedSource(std::unique_ptr<ByteSource> inner, Totals& totals) : m_inner(std::move(inner)), m_totals(totals) {}
    uint64_t Size() const override { return m_inner->Size(); }
    bool ReadAt(uint64_t offset, void* buffer, size_t count) override
    {
        const Clock::time_point start = Clock::now();
        const bool ok = m_inner->ReadAt(offset, buffer, count);
        m_totals.imageRead += SecondsSince(start);
        return ok;
    }

private:
    std::unique_ptr<ByteSource> m_inner;
    Totals& m_totals;
};

class TimedWriter : public FileWriter {
public:
    TimedWriter(std::unique_ptr<FileWriter> inner, Totals& totals, Target target, Clock::time_point begin)
        : m_inner(std::move(inner)), m_totals(totals), m_target(static_cast<int>(target)), m_begin(begin)
    {
    }
    bool Write(const void* bytes, size_t count) override
    {
        const Clock::time_point start = Clock::now();
        const bool ok = m_inner->Write(bytes, count);
        m_totals.write[m_target] += SecondsSince(start);
        m_totals.bytes[m_target] += count;
        return ok;
    }
    bool Close() override
    {
        const Clock::time_point start = Clock::now();
        const bool ok = m_inner->Close();
        m_totals.close[m_target] += SecondsSince(start);
        if (m_target == static_cast<int>(Target::kTempArchive))
            m_totals.archiveWritten = SecondsSince(m_begin);
        else if (m_target == static_cast<int>(Target::kUninstaller))
            m_totals.uninstallerClosed = SecondsSince(m_begin);
        return ok;
    }

private:
    std::unique_ptr<FileWriter> m_inner;
    Totals& m_totals;
    int m_target;
    Clock::time_point m_begin;
};

// The tests' real-file shell, reading its own program from a file and with the temporary folder
// where the caller wants it (the same disk as the install, as on a user's machine).
class ProfilingShell : public FakeSystem {
public:
    ProfilingShell(const std::wstring& installer, const std::wstring& tempFolder, Totals& totals)
        : m_installer(installer), m_temp(tempFolder), m_totals(totals), m_begin(Clock::now())
    {
    }

    std::unique_ptr<ByteSource> OpenOwnImage() override
    {
        std::unique_ptr<ByteSource> file = OpenFileByteSource(m_installer);
        if (!file)
            return nullptr;
        return std::make_unique<TimedSource>(std::move(file), m_totals);
    }
    std::wstring TempFolder() override { return m_temp; }

    std::unique_ptr<FileWriter> OpenForWrite(const std::wstring& path) override
    {
        Target target = Target::kInstalledFile;
        if (path.compare(0, m_temp.size(), m_temp) == 0)
            target = Target::kTempArchive;
        else if (path.size() >= wcslen(kUninstallerFileName) &&
                 path.compare(path.size() - wcslen(kUninstallerFileName), std::wstring::npos, kUninstallerFileName) == 0)
            target = Target::kUninstaller;
        const int index = static_cast<int>(target);
        if (target == Target::kUninstaller)
            m_totals.uninstallerOpened = SecondsSince(m_begin);
        const Clock::time_point start = Clock::now();
        std::unique_ptr<FileWriter> file = FakeSystem::OpenForWrite(path);
        m_totals.open[index] += SecondsSince(start);
        if (!file)
            return nullptr;
        ++m_totals.files[index];
        return std::make_unique<TimedWriter>(std::move(file), m_totals, target, m_begin);
    }

    bool RemoveFile(const std::wstring& path) override
    {
        const bool ok = FakeSystem::RemoveFile(path);
        if (path.compare(0, m_temp.size(), m_temp) == 0)
            m_totals.archiveRemoved = SecondsSince(m_begin);
        return ok;
    }

    void Restart() { m_begin = Clock::now(); }

private:
    std::wstring m_installer;
    std::wstring m_temp;
    Totals& m_totals;
    Clock::time_point m_begin;
};

std::wstring WindowsPath(const fs::path& path)
{
    std::wstring wide = Widen(fs::absolute(path).string(), kCodePageUtf8);
    for (wchar_t& c : wide)
        if (c == L'/')
            c = L'\\';
    return wide;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: profile_install INSTALLER WORK_FOLDER [ROUNDS]\n");
        return 2;
    }
    const fs::path work = argv[2];
    const int rounds = argc == 4 ? std::atoi(argv[3]) : 1;
    const fs::path install = work / "install";
    const fs::path temp = work / "temp";
    std::printf("round\ttotal\tto_temp_zip\textract\tbetween\tuninstaller\tafter\timage_read\tzip_write\tzip_close"
                "\tfiles_open\tfiles_write\tfiles_close\tunins_write\tunins_close\tfiles\tfile_bytes\n");
    for (int round = 1; round <= rounds; ++round) {
        std::error_code ec;
        fs::remove_all(install, ec);
        fs::remove_all(temp, ec);
        fs::create_directories(temp);

        Totals totals;
        ProfilingShell shell(Widen(argv[1], kCodePageUtf8), WindowsPath(temp) + L"\\", totals);
        RecordingSurface surface;
        InstallOptions options;
        options.installDir = WindowsPath(install);
        std::wstring program;
        shell.Restart();
        const Clock::time_point start = Clock::now();
        const bool ok = RunInstall(options, surface, shell, program);
        const double total = SecondsSince(start);
        if (!ok || surface.completed != 1) {
            std::fprintf(stderr, "profile_install: the install failed in round %d\n", round);
            return 1;
        }
        const int zip = static_cast<int>(Target::kTempArchive);
        const int file = static_cast<int>(Target::kInstalledFile);
        const int unins = static_cast<int>(Target::kUninstaller);
        std::printf("%d\t%.3f\t%.3f\t%.3f\t%.3f\t%.3f\t%.3f\t%.3f\t%.3f\t%.3f\t%.3f\t%.3f\t%.3f\t%.3f\t%.3f\t%u\t%llu\n",
                    round, total, totals.archiveWritten, totals.archiveRemoved - totals.archiveWritten,
                    totals.uninstallerOpened - totals.archiveRemoved,
                    totals.uninstallerClosed - totals.uninstallerOpened, total - totals.uninstallerClosed,
                    totals.imageRead, totals.write[zip], totals.close[zip], totals.open[file], totals.write[file],
                    totals.close[file], totals.write[unins], totals.close[unins], totals.files[file],
                    static_cast<unsigned long long>(totals.bytes[file]));
        std::fflush(stdout);
    }
    std::error_code ec;
    fs::remove_all(install, ec);
    fs::remove_all(temp, ec);
    return 0;
}
