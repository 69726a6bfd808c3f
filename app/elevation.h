#pragma once

// The elevation rule: on systems with user account control, a program started by an
// administrator with a limited token restarts itself elevated, passing on its first three
// arguments.

#include <string>
#include <vector>

// The questions the rule asks of the system, behind an interface so that the rule can be tried
// with tokens a test machine cannot produce.
class TokenQueries {
public:
    virtual ~TokenQueries() = default;
    virtual bool IsVistaOrLater() = 0;
    // The elevation type of the process token (1 default, 2 full, 3 limited); false when the
    // token cannot be opened or queried.
    virtual bool GetElevationType(int& type) = 0;
    // Whether the token linked to the limited one belongs to the built-in Administrators group.
    virtual bool IsLinkedTokenAdmin() = 0;
};

constexpr int kTokenElevationTypeLimited = 3;

bool IsElevationNeeded(TokenQueries& queries);

// The parameters of the elevated restart from the process's arguments (the program path first):
// with at least three arguments after it, "\"a\" b c" of the first three; otherwise empty.
std::wstring FormatRelaunchParameters(const std::vector<std::wstring>& arguments);
