#include "package/byte_source.h"

#include <cstring>

bool MemoryByteSource::ReadAt(uint64_t offset, void* buffer, size_t count)
{
    uint64_t size = m_bytes.size();
    if (offset > size || count > size - offset)
        return false;
    if (count != 0)
        std::memcpy(buffer, m_bytes.data() + offset, count);
    return true;
}
