#pragma once

// Turns the skin's SVG art into pixels. Art files are templates: "{{name}}" stands for a value
// the piece gives in its "vars", and "{{include:FILE}}" for the text of another file of the skin
// folder (itself a template), so one drawing of a button serves all its states and sizes and the
// logo is drawn once for the banner, the pictures and the icon. rsvg-convert (librsvg) renders
// the expanded text at 96 dpi, so one SVG user unit is one screen pixel at 100 % scale.

#include <map>
#include <set>
#include <string>

#include "tools/mkuir/rgba_image.h"

using TemplateVars = std::map<std::string, std::string>;

class SvgRenderer {
public:
    // skinFolder: where "svg" and "include:" paths are resolved. rsvgConvert: the program to run.
    SvgRenderer(std::string skinFolder, std::string rsvgConvert);
    ~SvgRenderer();
    SvgRenderer(const SvgRenderer&) = delete;
    SvgRenderer& operator=(const SvgRenderer&) = delete;

    // Expands the template file with vars. Every placeholder needs a value, and every value must
    // be used by some placeholder, so a misspelt name is an error rather than a silent default.
    bool Expand(const std::string& svgPath, const TemplateVars& vars, std::string& text, std::string& error);

    // Renders expanded SVG text; width and height, when positive, scale the drawing to that size
    // (the icon's sizes). Renders of the same text and size are made once.
    bool Render(const std::string& text, int width, int height, RgbaImage& image, std::string& error);

private:
    bool ExpandInto(const std::string& path, const TemplateVars& vars, int depth, std::set<std::string>& used,
                    std::string& out, std::string& error);
    bool EnsureWorkFolder(std::string& error);

    std::string m_skinFolder;
    std::string m_rsvgConvert;
    std::string m_workFolder;
    std::map<std::string, std::string> m_files;
    std::map<std::string, RgbaImage> m_renders;
    int m_renderCount = 0;
};
