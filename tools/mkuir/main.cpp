// mkuir: builds the program's UI resource package from the skin document and its SVG art.
//
//   mkuir SKIN.json -o PACKAGE.uir [--sheet SHEET.png] [--icon PROGRAM.ico] [--rsvg-convert PATH]
//
// Exit codes: 0 success, 1 bad usage or a failed build (one line on stderr).

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "tools/mkuir/skin_compiler.h"

namespace {

const char kUsage[] =
    "usage:\n"
    "  mkuir SKIN.json -o PACKAGE.uir [--sheet SHEET.png] [--icon PROGRAM.ico] [--rsvg-convert PATH]\n"
    "  mkuir --help\n"
    "\n"
    "Renders the pieces the skin document names from its SVG art with rsvg-convert, packs them\n"
    "into one RGBA PNG sprite sheet, fills every image style's \"bg\" and \"fg\" rectangle from\n"
    "where its piece landed, and writes the UI resource package: \".uir\", the JSON document, the\n"
    "sheet record and the font records.\n"
    "\n"
    "  -o PACKAGE.uir        the package to write\n"
    "  --sheet SHEET.png     also write the sprite sheet, for looking at it\n"
    "  --icon PROGRAM.ico    also render the document's \"icon\" into a Windows icon file\n"
    "  --rsvg-convert PATH   the SVG renderer to run (default: rsvg-convert from PATH)\n"
    "\n"
    "Art paths in the document are relative to the document's folder. Nothing is written when\n"
    "anything fails.\n";

int Fail(const std::string& message)
{
    std::cerr << "mkuir: " << message << "\n";
    return 1;
}

// Writes next to the target and renames, so a failure never leaves half a file behind.
bool WriteFileAtomically(const std::string& path, const std::string& bytes)
{
    const std::string temp = path + ".partial";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    CompileOptions options;
    std::string packagePath, sheetPath, iconPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "-o") {
            if (!value(packagePath))
                return Fail("-o needs a file name");
        } else if (arg == "--sheet") {
            if (!value(sheetPath))
                return Fail("--sheet needs a file name");
        } else if (arg == "--icon") {
            if (!value(iconPath))
                return Fail("--icon needs a file name");
        } else if (arg == "--rsvg-convert") {
            if (!value(options.rsvgConvert))
                return Fail("--rsvg-convert needs a program");
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Fail("unknown option " + arg + " (see mkuir --help)");
        } else if (options.skinPath.empty()) {
            options.skinPath = arg;
        } else {
            return Fail("more than one skin document given (" + options.skinPath + ", " + arg + ")");
        }
    }
    if (options.skinPath.empty())
        return Fail("no skin document given (see mkuir --help)");
    if (packagePath.empty())
        return Fail("no package to write: give -o PACKAGE.uir");
    options.renderIcon = !iconPath.empty();

    CompileOutput output;
    std::string error;
    if (!CompileSkin(options, output, error))
        return Fail(error);
    if (!WriteFileAtomically(packagePath, output.package))
        return Fail("cannot write " + packagePath);
    if (!sheetPath.empty() && !WriteFileAtomically(sheetPath, output.sheetPng))
        return Fail("cannot write " + sheetPath);
    if (!iconPath.empty() && !WriteFileAtomically(iconPath, output.icon))
        return Fail("cannot write " + iconPath);
    std::cout << "mkuir: " << packagePath << ": " << output.package.size() << " bytes, sheet "
              << output.sheetWidth << " x " << output.sheetHeight << " with " << output.pieceCount << " pictures\n";
    return 0;
}
