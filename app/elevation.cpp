#include "app/elevation.h"

bool IsElevationNeeded(TokenQueries& queries)
{
    if (!queries.IsVistaOrLater())
        return false;
    int type = 0;
    if (!queries.GetElevationType(type) || type != kTokenElevationTypeLimited)
        return false;
    return queries.IsLinkedTokenAdmin();
}

std::wstring FormatRelaunchParameters(const std::vector<std::wstring>& arguments)
{
    if (arguments.size() < 4)
        return std::wstring();
    return L"\"" + arguments[1] + L"\" " + arguments[2] + L" " + arguments[3];
}
