#include <minizip/unzip.h>

#include "installer/zip_archive.h"
#include "package/conversion_pool.h"

// The native build runs the sequences on Windows-style paths mapped onto the host's folders.
void* OpenZipFile(const std::wstring& path)
{
    std::wstring native = path;
    for (wchar_t& c : native)
        if (c == L'\\')
            c = L'/';
    return unzOpen64(Narrow(native, kCodePageUtf8).c_str());
}
