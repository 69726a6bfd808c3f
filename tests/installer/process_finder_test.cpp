#include "installer/process_finder.h"

#include <gtest/gtest.h>

#include <vector>

#include "package/shell_util.h"
#include "win32_test_support.h"

namespace {

// Starts copies of the sleeper under the given file name (copied next to it).
class Sleepers {
public:
    Sleepers(const std::wstring& fileName, int count)
    {
        std::wstring source = GetModulePath();
        source = source.substr(0, source.find_last_of(L'\\') + 1) + L"qv_sleeper.exe";
        m_path = m_scratch / fileName;
        EXPECT_TRUE(CopyFileW(source.c_str(), m_path.c_str(), FALSE));
        for (int i = 0; i < count; ++i) {
            STARTUPINFOW startup = {};
            startup.cb = sizeof startup;
            PROCESS_INFORMATION info = {};
            std::wstring commandLine = L"\"" + m_path + L"\"";
            if (CreateProcessW(m_path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &info)) {
                CloseHandle(info.hThread);
                m_processes.push_back(info.hProcess);
                m_ids.push_back(info.dwProcessId);
            }
        }
        EXPECT_EQ(static_cast<int>(m_processes.size()), count);
    }
    ~Sleepers()
    {
        for (HANDLE process : m_processes) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    }
    const std::wstring& Path() const { return m_path; }
    const std::vector<DWORD>& Ids() const { return m_ids; }
    // True when every copy has ended within the time.
    bool AllEnded(DWORD milliseconds) const
    {
        return WaitForMultipleObjects(static_cast<DWORD>(m_processes.size()), m_processes.data(), TRUE,
                                      milliseconds) != WAIT_TIMEOUT;
    }

private:
    ScratchFolder m_scratch;
    std::wstring m_path;
    std::vector<HANDLE> m_processes;
    std::vector<DWORD> m_ids;
};

TEST(ProcessFinder, FindsByFileNameIgnoringCaseAndEndsEveryInstance)
{
    Sleepers sleepers(L"qv_lumetra_probe.exe", 2);
    EXPECT_TRUE(IsProcessRunning(L"QV_LUMETRA_PROBE.EXE"));
    EXPECT_TRUE(IsProcessRunning(L"D:\\elsewhere\\qv_lumetra_probe.exe"));
    EXPECT_FALSE(IsProcessRunning(L"qv_lumetra_probe"));
    EXPECT_FALSE(IsProcessRunning(L"qv_lumetra_probe.exe.bak"));

    DWORD id = FindProcessIdByName(L"Qv_Lumetra_Probe.exe");
    EXPECT_TRUE(id == sleepers.Ids()[0] || id == sleepers.Ids()[1]) << id;

    TerminateProcessesByName(sleepers.Path());
    EXPECT_TRUE(sleepers.AllEnded(10000)) << "every instance ends, not only the first";
    EXPECT_FALSE(IsProcessRunning(L"qv_lumetra_probe.exe"));
    EXPECT_EQ(FindProcessIdByName(L"qv_lumetra_probe.exe"), 0u);
}

TEST(ProcessFinder, EmptyNamesMatchNothing)
{
    EXPECT_FALSE(IsProcessRunning(L""));
    EXPECT_FALSE(IsProcessRunning(L"C:\\folder\\"));
    EXPECT_EQ(FindProcessIdByName(L""), 0u);
}

TEST(ProcessFinder, NeverEndsItself)
{
    std::wstring self = GetModulePath();
    EXPECT_TRUE(IsProcessRunning(self));
    TerminateProcessesByName(self);
    EXPECT_TRUE(IsProcessRunning(self));
}

}  // namespace
