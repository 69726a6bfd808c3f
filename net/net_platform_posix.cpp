#include <ctime>

#include "net/net_platform.h"
#include "package/conversion_pool.h"

uint32_t TickCountMs()
{
    timespec now;
    if (clock_gettime(CLOCK_MONOTONIC, &now) != 0)
        return 0;
    uint64_t milliseconds = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(milliseconds);
}

FILE* OpenFileForWriting(const std::wstring& path)
{
    return std::fopen(Narrow(path, kCodePageUtf8).c_str(), "wb");
}
