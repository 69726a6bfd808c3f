#include <windows.h>

#include "net/net_platform.h"

uint32_t TickCountMs()
{
    return GetTickCount();
}

FILE* OpenFileForWriting(const std::wstring& path)
{
    return _wfopen(path.c_str(), L"wb");
}
