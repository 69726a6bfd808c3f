#pragma once

// The two ways the program restarts itself at start-up, each ending this process: elevated,
// when the user's token is limited; and, for the uninstaller, from a copy in the temporary
// folder, so that the install folder and the uninstaller in it can be deleted.

#include <string>

#include "app/elevation.h"

// The real token and version questions of this process.
class SystemTokenQueries : public TokenQueries {
public:
    bool IsVistaOrLater() override;
    bool GetElevationType(int& type) override;
    bool IsLinkedTokenAdmin() override;
};

// Starts this program again with the verb "runas" and the parameters.
void RelaunchElevated(const std::wstring& parameters);

// When elevation is needed: restart elevated with the first three arguments and end this
// process. Otherwise returns.
void ApplyElevationRule(TokenQueries& queries);

// "<temporary folder>unins001.exe": where the uninstaller runs from.
std::wstring UninstallerCopyPath(const std::wstring& temporaryFolder);
// Whether this process already runs as that copy (paths compared without regard to case).
bool IsUninstallerCopy(const std::wstring& ownPath, const std::wstring& temporaryFolder);

// Unless this process is the copy: copy the program there, start the copy and end this process.
void ApplyUninstallerRelaunch();
