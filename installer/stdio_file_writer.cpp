#include "installer/stdio_file_writer.h"

StdioFileWriter::~StdioFileWriter()
{
    if (m_file != nullptr)
        std::fclose(m_file);
}

bool StdioFileWriter::Write(const void* bytes, size_t count)
{
    return m_file != nullptr && std::fwrite(bytes, 1, count, m_file) == count;
}

bool StdioFileWriter::Close()
{
    if (m_file == nullptr)
        return false;
    bool ok = std::fclose(m_file) == 0;
    m_file = nullptr;
    return ok;
}
