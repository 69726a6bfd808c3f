#pragma once

#include <iosfwd>
#include <string>

// Prints what an installer or uninstaller copy carries, read with the program's own readers.
// Returns 0, 1 when the file cannot be read, or 2 when its trailer is broken.
int Inspect(const std::string& path, unsigned codePage, std::ostream& out, std::ostream& err);
