#include "app/elevation.h"

#include <gtest/gtest.h>

namespace {

class FakeTokenQueries : public TokenQueries {
public:
    FakeTokenQueries(bool vista, bool queryOk, int type, bool linkedAdmin)
        : m_vista(vista), m_queryOk(queryOk), m_type(type), m_linkedAdmin(linkedAdmin)
    {
    }
    bool IsVistaOrLater() override { return m_vista; }
    bool GetElevationType(int& type) override
    {
        type = m_type;
        return m_queryOk;
    }
    bool IsLinkedTokenAdmin() override { return m_linkedAdmin; }

private:
    bool m_vista, m_queryOk;
    int m_type;
    bool m_linkedAdmin;
};

TEST(ElevationRule, OnlyALimitedAdministratorTokenOnVistaOrLaterRelaunches)
{
    struct {
        const char* what;
        FakeTokenQueries queries;
        bool needed;
    } cases[] = {
        {"limited administrator", {true, true, 3, true}, true},
        {"Windows XP", {false, true, 3, true}, false},
        {"token query fails", {true, false, 3, true}, false},
        {"UAC off: default type", {true, true, 1, true}, false},
        {"already elevated: full type", {true, true, 2, true}, false},
        {"limited, linked token not an administrator", {true, true, 3, false}, false},
    };
    for (auto& c : cases)
        EXPECT_EQ(IsElevationNeeded(c.queries), c.needed) << c.what;
}

TEST(ElevationRule, PassesOnTheFirstThreeArgumentsFirstQuoted)
{
    using Args = std::vector<std::wstring>;
    EXPECT_EQ(FormatRelaunchParameters(Args{L"setup.exe", L"a", L"b", L"c"}), L"\"a\" b c");
    EXPECT_EQ(FormatRelaunchParameters(Args{L"setup.exe", L"a", L"b", L"c", L"d", L"e"}), L"\"a\" b c");
    EXPECT_EQ(FormatRelaunchParameters(Args{L"setup.exe", L"a", L"b"}), L"");
    EXPECT_EQ(FormatRelaunchParameters(Args{L"setup.exe"}), L"");
    EXPECT_EQ(FormatRelaunchParameters(Args{}), L"");
    EXPECT_EQ(FormatRelaunchParameters(Args{L"setup.exe", L"C:\\a b", L"x y", L"z"}), L"\"C:\\a b\" x y z");
}

}  // namespace
