#include "tools/mkuir/svg_renderer.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Deep enough for a banner that includes a logo that includes a shape; a loop stops here.
constexpr int kMaxIncludeDepth = 8;

bool ReadText(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

std::string Trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The first line of a program's complaint, for a one-line error.
std::string FirstLine(const std::string& text)
{
    std::string line = Trim(text.substr(0, text.find('\n')));
    return line.empty() ? "no message" : line;
}

}  // namespace

SvgRenderer::SvgRenderer(std::string skinFolder, std::string rsvgConvert)
    : m_skinFolder(std::move(skinFolder)), m_rsvgConvert(std::move(rsvgConvert))
{
}

SvgRenderer::~SvgRenderer()
{
    if (!m_workFolder.empty()) {
        std::error_code ignored;
        fs::remove_all(m_workFolder, ignored);
    }
}

bool SvgRenderer::Expand(const std::string& svgPath, const TemplateVars& vars, std::string& text, std::string& error)
{
    std::set<std::string> used;
    text.clear();
    if (!ExpandInto(svgPath, vars, 0, used, text, error))
        return false;
    for (const auto& entry : vars) {
        if (used.count(entry.first) == 0) {
            error = "variable \"" + entry.first + "\" is not used by " + svgPath;
            return false;
        }
    }
    return true;
}

bool SvgRenderer::ExpandInto(const std::string& path, const TemplateVars& vars, int depth, std::set<std::string>& used,
                             std::string& out, std::string& error)
{
    if (depth > kMaxIncludeDepth) {
        error = path + ": includes nest deeper than " + std::to_string(kMaxIncludeDepth) + " levels";
        return false;
    }
    auto cached = m_files.find(path);
    if (cached == m_files.end()) {
        std::string text;
        if (!ReadText((fs::path(m_skinFolder) / path).string(), text)) {
            error = "cannot read art file " + path;
            return false;
        }
        cached = m_files.emplace(path, std::move(text)).first;
    }
    const std::string& text = cached->second;
    size_t at = 0;
    while (true) {
        const size_t open = text.find("{{", at);
        if (open == std::string::npos) {
            out.append(text, at, std::string::npos);
            return true;
        }
        const size_t close = text.find("}}", open + 2);
        if (close == std::string::npos) {
            error = path + ": \"{{\" without \"}}\"";
            return false;
        }
        out.append(text, at, open - at);
        const std::string name = Trim(text.substr(open + 2, close - open - 2));
        if (name.rfind("include:", 0) == 0) {
            if (!ExpandInto(Trim(name.substr(8)), vars, depth + 1, used, out, error))
                return false;
        } else {
            auto value = vars.find(name);
            if (value == vars.end()) {
                error = path + ": no value for {{" + name + "}}";
                return false;
            }
            used.insert(name);
            out += value->second;
        }
        at = close + 2;
    }
}

bool SvgRenderer::EnsureWorkFolder(std::string& error)
{
    if (!m_workFolder.empty())
        return true;
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/mkuir-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        error = std::string("cannot make a work folder: ") + std::strerror(errno);
        return false;
    }
    m_workFolder = buffer.data();
    return true;
}

bool SvgRenderer::Render(const std::string& text, int width, int height, RgbaImage& image, std::string& error)
{
    const std::string key = std::to_string(width) + "x" + std::to_string(height) + "\n" + text;
    auto cached = m_renders.find(key);
    if (cached != m_renders.end()) {
        image = cached->second;
        return true;
    }
    if (!EnsureWorkFolder(error))
        return false;
    const std::string stem = m_workFolder + "/" + std::to_string(m_renderCount++);
    const std::string svgFile = stem + ".svg", pngFile = stem + ".png", logFile = stem + ".log";
    {
        std::ofstream out(svgFile, std::ios::binary);
        out << text;
        if (!out) {
            error = "cannot write " + svgFile;
            return false;
        }
    }

    // Run without a shell, so no path or value is ever interpreted as shell syntax.
    std::vector<std::string> args = {m_rsvgConvert, "--format=png", "--output=" + pngFile};
    if (width > 0)
        args.push_back("--width=" + std::to_string(width));
    if (height > 0)
        args.push_back("--height=" + std::to_string(height));
    args.push_back(svgFile);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child < 0) {
        error = std::string("cannot start ") + m_rsvgConvert + ": " + std::strerror(errno);
        return false;
    }
    if (child == 0) {
        const int log = open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (log >= 0) {
            dup2(log, STDOUT_FILENO);
            dup2(log, STDERR_FILENO);
        }
        execvp(argv[0], argv.data());
        // Only reached when the program could not be started at all.
        dprintf(STDERR_FILENO, "cannot run %s: %s\n", argv[0], std::strerror(errno));
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    std::string log;
    ReadText(logFile, log);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = "rsvg-convert failed: " + FirstLine(log);
        return false;
    }
    std::string png;
    if (!ReadText(pngFile, png)) {
        error = "rsvg-convert wrote no picture";
        return false;
    }
    if (!DecodePng(png, image, error))
        return false;
    m_renders.emplace(key, image);
    return true;
}
