// Reads this program's own package the way the installer does at start-up and prints the role
// and the configuration in the writer's form, byte for byte. Exit codes: 0 installer,
// 10 uninstaller, 3 rejected.

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "package/json/json_writer.h"
#include "package/own_package.h"
#include "package/package_config.h"

int main()
{
    // Bytes, not text: the configuration is compared byte for byte.
    _setmode(_fileno(stdout), _O_BINARY);
    JsonValue config;
    if (!ReadPackageConfig(config)) {
        std::printf("role: rejected (unreadable package)\n");
        return 3;
    }
    PackageRole role = DecideRole(config);
    if (role == PackageRole::kRejected) {
        std::printf("role: rejected (no mode)\n");
        return 3;
    }
    std::printf("role: %s\n", role == PackageRole::kInstaller ? "installer" : "uninstaller");
    std::string text = JsonWriter().Write(config);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    return role == PackageRole::kInstaller ? 0 : 10;
}
