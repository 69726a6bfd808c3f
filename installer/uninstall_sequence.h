#pragma once

// The whole uninstall, guided by the manifest in this uninstaller's own trailer: shortcuts,
// files, folders, the install folder when it is empty, and the uninstall entry; then the
// farewell window.

#include "installer/system_shell.h"

// True on success, after handing over to the farewell window; false (nothing deleted) when the
// manifest cannot be read or names no install folder.
bool RunUninstall(InstallSurface& surface, SystemShell& shell);
