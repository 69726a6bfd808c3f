#include <minizip/ioapi.h>
#include <minizip/iowin32.h>
#include <minizip/unzip.h>

#include "installer/zip_archive.h"

void* OpenZipFile(const std::wstring& path)
{
    zlib_filefunc64_def functions;
    fill_win32_filefunc64W(&functions);
    return unzOpen2_64(path.c_str(), &functions);
}
