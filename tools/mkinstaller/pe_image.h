#pragma once

// Just enough of the PE format to append a package to a program image: where the image ends,
// where the trailer offset goes, and which header fields must forget an old overlay.
//
//   0        DOS header, e_lfanew (H) at 60
//   H - 4    the package's trailer offset T (DOS stub area)
//   H        "PE\0\0", COFF header (20 bytes), optional header, section table (40 bytes each)
//   ...      section data; the image ends at the largest PointerToRawData + SizeOfRawData
//   end      overlay: symbol table, old package, certificate table (all dropped)

#include <cstdint>
#include <string>

struct PeLayout {
    uint32_t peOffset = 0;          // H
    uint64_t imageEnd = 0;          // end of the last section's raw data
    uint64_t symbolTableField = 0;  // file offset of PointerToSymbolTable in the COFF header
    uint64_t securityEntry = 0;     // file offset of the certificate-table directory entry, 0 if none
};

bool ParsePeLayout(const std::string& bytes, PeLayout& layout, std::string& error);

// The stub cut at its image end, with the overlay's header references cleared and T written in
// front of the PE signature, followed by the trailer and zero padding to a multiple of 8. Fails
// when the configuration, payload or whole file would not fit the 32-bit fields.
bool AssemblePackage(const std::string& stub, const std::string& config, const std::string& payload,
                     std::string& package, std::string& error);
