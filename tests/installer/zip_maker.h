#pragma once

// Builds ZIP archives in memory for the tests, with any entry names (including ones the packing
// tool would refuse), stored uncompressed so that a test can damage an entry's bytes.

#include <string>
#include <utility>
#include <vector>

// (name, content); names ending in "/" are folders.
using ZipEntries = std::vector<std::pair<std::string, std::string>>;

std::string MakeZip(const ZipEntries& entries);
