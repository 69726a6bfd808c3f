#pragma once

// A FileWriter over a C stream, for any shell that opens files with fopen or _wfopen.

#include <cstdio>

#include "installer/system_shell.h"

class StdioFileWriter : public FileWriter {
public:
    // Takes ownership of file, which must not be null.
    explicit StdioFileWriter(FILE* file) : m_file(file) {}
    ~StdioFileWriter() override;
    StdioFileWriter(const StdioFileWriter&) = delete;
    StdioFileWriter& operator=(const StdioFileWriter&) = delete;

    bool Write(const void* bytes, size_t count) override;
    bool Close() override;

private:
    FILE* m_file;
};
