#include "ui/resource/ui_resource.h"

#include <cstring>

#include "package/conversion_pool.h"
#include "package/file_io.h"
#include "package/system_util.h"
#include "ui/resource/color_adjuster.h"
#include "ui/resource/font_record.h"

namespace {

LOGFONTW IconTitleFont()
{
    LOGFONTW font = {};
    SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof font, &font, 0);
    return font;
}

// Record ids are unsigned in the package; a negative id names nothing.
const std::string* FindRecordById(const UIPackage& package, const char* group, int id)
{
    if (id < 0)
        return nullptr;
    return package.FindRecord(group, static_cast<uint32_t>(id));
}

BOOL CALLBACK NotifyChildWindow(HWND window, LPARAM)
{
    SendMessageW(window, WM_SKIN_COLORS_CHANGED, 0, 0);
    if (IsWindowVisible(window)) {
        InvalidateRect(window, nullptr, TRUE);
        // No size, no move, no z-order, no activation, frame changed, no owner z-order, deferred
        // erase: only a fresh frame and client paint.
        SetWindowPos(window, nullptr, 0, 0, 0, 0, 0x2237);
    }
    return TRUE;
}

BOOL CALLBACK NotifyThreadWindow(HWND window, LPARAM)
{
    NotifyChildWindow(window, 0);
    EnumChildWindows(window, NotifyChildWindow, 0);
    return TRUE;
}

}  // namespace

UIResource::~UIResource()
{
    for (const auto& entry : m_fonts) {
        if (entry.second != nullptr)
            DeleteObject(entry.second);
    }
}

bool UIResource::LoadFromModule(HINSTANCE instance, const wchar_t* type, int id)
{
    std::string bytes;
    if (!LoadResourceBytes(instance, type, id, bytes))
        return false;
    return LoadFromMemory(bytes);
}

bool UIResource::LoadFromFile(const wchar_t* path)
{
    std::string bytes;
    if (path == nullptr || !ReadWholeFile(path, bytes))
        return false;
    return LoadFromMemory(bytes);
}

bool UIResource::LoadFromMemory(const std::string& bytes)
{
    return m_package.Load(bytes) == PackageStatus::kOk;
}

const JsonValue* UIResource::FindNode(const char* path, const JsonValue* start) const
{
    return m_package.FindNode(path, start);
}

int UIResource::GetInt(const char* path, const JsonValue* start) const
{
    return m_package.GetInt(path, start);
}

RECT UIResource::GetRect(const char* path, const JsonValue* start) const
{
    const PackageRect rect = m_package.GetRect(path, start);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

POINT UIResource::GetPoint(const char* path, const JsonValue* start) const
{
    const PackagePoint point = m_package.GetPoint(path, start);
    return {point.x, point.y};
}

COLORREF UIResource::GetColor(const char* path, const JsonValue* start) const
{
    return m_package.GetColor(path, start);
}

ImageStyle UIResource::GetImageStyle(const char* path, const JsonValue* start)
{
    ImageStyle style;
    const JsonValue* node = FindNode(path, start);
    if (node == nullptr)
        return style;

    if (node->IsMember("bi")) {
        CHBitmap* image = GetImage(UIPackage::IntegerOf(&node->Find("bi")), ImageTint::kAdjustable);
        if (image != nullptr) {
            const JsonValue* bg = &node->Find("bg");
            const JsonValue* mg = &node->Find("mg");
            style.bgImage = image;
            style.bgX = UIPackage::ElementOf(bg, 0);
            style.bgY = UIPackage::ElementOf(bg, 1);
            style.bgW = UIPackage::ElementOf(bg, 2);
            style.bgH = UIPackage::ElementOf(bg, 3);
            style.bgKey = UIPackage::ColorOf(&node->Find("bc"));
            style.marginLeft = UIPackage::ElementOf(mg, 0);
            style.marginTop = UIPackage::ElementOf(mg, 1);
            style.marginRight = UIPackage::ElementOf(mg, 2);
            style.marginBottom = UIPackage::ElementOf(mg, 3);
            style.mode = UIPackage::IntegerOf(&node->Find("md"));
        }
    }

    if (node->IsMember("fi")) {
        CHBitmap* image = GetImage(UIPackage::IntegerOf(&node->Find("fi")), ImageTint::kAdjustable);
        if (image != nullptr) {
            const JsonValue* fg = &node->Find("fg");
            const JsonValue* of = &node->Find("of");
            style.fgImage = image;
            style.fgX = UIPackage::ElementOf(fg, 0);
            style.fgY = UIPackage::ElementOf(fg, 1);
            style.fgW = UIPackage::ElementOf(fg, 2);
            style.fgH = UIPackage::ElementOf(fg, 3);
            style.fgKey = UIPackage::ColorOf(&node->Find("fc"));
            style.fgOffsetX = UIPackage::ElementOf(of, 0);
            style.fgOffsetY = UIPackage::ElementOf(of, 1);
            style.fgAlign = UIPackage::IntegerOf(&node->Find("al"));
        }
    }
    return style;
}

TextStyle UIResource::GetTextStyle(const char* path, const JsonValue* start)
{
    TextStyle style;
    const JsonValue* node = FindNode(path, start);
    if (node == nullptr)
        return style;
    if (node->IsMember("ft"))
        style.font = GetFont(UIPackage::IntegerOf(&node->Find("ft")));
    style.color = static_cast<COLORREF>(UIPackage::IntegerOf(&node->Find("cr")));
    const JsonValue* of = &node->Find("of");
    style.offsetX = UIPackage::ElementOf(of, 0);
    style.offsetY = UIPackage::ElementOf(of, 1);
    style.format = static_cast<UINT>(UIPackage::IntegerOf(&node->Find("al")));
    style.text = Widen(node->Find("tx").AsCString(), kCodePageUtf8);
    return style;
}

void UIResource::ApplyFontRecord(const std::string& recordBytes, LOGFONTW& base)
{
    FontRecord record;
    if (!ParseFontRecord(recordBytes, record))
        return;
    auto override32 = [](LONG& field, int32_t value) {
        if (value != 0)
            field = value;
    };
    auto override8 = [](BYTE& field, uint8_t value) {
        if (value != 0)
            field = value;
    };
    override32(base.lfHeight, record.height);
    override32(base.lfWidth, record.width);
    override32(base.lfEscapement, record.escapement);
    override32(base.lfOrientation, record.orientation);
    override32(base.lfWeight, record.weight);
    override8(base.lfItalic, record.italic);
    override8(base.lfUnderline, record.underline);
    override8(base.lfStrikeOut, record.strikeOut);
    override8(base.lfCharSet, record.charSet);
    override8(base.lfOutPrecision, record.outPrecision);
    override8(base.lfClipPrecision, record.clipPrecision);
    override8(base.lfQuality, record.quality);
    override8(base.lfPitchAndFamily, record.pitchAndFamily);

    std::wstring face = Widen(record.faceName, kCodePageUtf8);
    if (face.empty())
        return;
    // LOGFONTW holds 31 units and a terminator. A longer name is cut there rather than ignored,
    // matching how the system lists fonts whose names are longer; a surrogate pair is never split.
    constexpr size_t kMaxFace = LF_FACESIZE - 1;
    if (face.size() > kMaxFace) {
        size_t keep = kMaxFace;
        if (face[keep - 1] >= 0xD800 && face[keep - 1] <= 0xDBFF)
            --keep;
        face.resize(keep);
    }
    std::memset(base.lfFaceName, 0, sizeof base.lfFaceName);
    std::memcpy(base.lfFaceName, face.c_str(), face.size() * sizeof(wchar_t));
}

HFONT UIResource::GetFont(int id)
{
    auto cached = m_fonts.find(id);
    if (cached != m_fonts.end())
        return cached->second;
    const std::string* bytes = FindRecordById(m_package, "fonts", id);
    if (bytes == nullptr || bytes->empty()) {
        m_fonts[id] = nullptr;
        return nullptr;
    }
    LOGFONTW font = IconTitleFont();
    ApplyFontRecord(*bytes, font);
    HFONT handle = CreateFontIndirectW(&font);
    m_fonts[id] = handle;
    return handle;
}

void UIResource::KeepOriginal(int id, const CHBitmap& image)
{
    if (m_originals.count(id) != 0)
        return;
    GdiFlush();
    auto copy = std::make_unique<CHBitmap>();
    if (copy->CreateFromPixels(image.Info(), image.Pixels(), static_cast<size_t>(image.ImageSize())))
        m_originals[id] = std::move(copy);
}

CHBitmap* UIResource::GetImage(int id, ImageTint tint)
{
    auto cached = m_images.find(id);
    if (cached != m_images.end())
        return cached->second.bitmap.get();
    const std::string* bytes = FindRecordById(m_package, "images", id);
    if (bytes == nullptr)
        return nullptr;
    auto image = std::make_unique<CHBitmap>();
    if (!image->LoadPng(bytes->data(), bytes->size()))
        return nullptr;
    if (IsAdjusting()) {
        KeepOriginal(id, *image);
        if (tint == ImageTint::kAdjustable)
            image->AdjustColors(m_hue, m_saturation, m_lightness);
    }
    CHBitmap* result = image.get();
    m_images[id] = CachedImage{std::move(image), tint};
    return result;
}

bool UIResource::GetResourceBytes(const char* group, int id, std::string& out) const
{
    out.clear();
    const std::string* bytes = FindRecordById(m_package, group, id);
    if (bytes != nullptr)
        out = *bytes;
    return !out.empty();
}

HFONT UIResource::GetDefaultFont()
{
    // Process-wide and never released; made on the user-interface thread only, so no lock.
    static HFONT font = nullptr;
    if (font == nullptr) {
        LOGFONTW logFont = IconTitleFont();
        font = CreateFontIndirectW(&logFont);
    }
    return font;
}

HFONT UIResource::GetDefaultBoldFont()
{
    static HFONT font = nullptr;
    if (font == nullptr) {
        LOGFONTW logFont = IconTitleFont();
        logFont.lfWeight = FW_BOLD;
        font = CreateFontIndirectW(&logFont);
    }
    return font;
}

bool UIResource::SetColorAdjust(int hue, int saturation, int lightness)
{
    m_hue = hue;
    m_saturation = saturation;
    m_lightness = lightness;
    m_adjustedColors.clear();
    for (auto& entry : m_images) {
        if (entry.second.tint != ImageTint::kAdjustable)
            continue;
        CHBitmap& image = *entry.second.bitmap;
        KeepOriginal(entry.first, image);
        auto original = m_originals.find(entry.first);
        if (original == m_originals.end() || original->second->ImageSize() != image.ImageSize())
            continue;
        GdiFlush();
        std::memcpy(image.Pixels(), original->second->Pixels(), static_cast<size_t>(image.ImageSize()));
        image.AdjustColors(m_hue, m_saturation, m_lightness);
    }
    EnumThreadWindows(GetCurrentThreadId(), NotifyThreadWindow, 0);
    return true;
}

COLORREF UIResource::AdjustColor(COLORREF color)
{
    if (!IsAdjusting())
        return color;
    auto cached = m_adjustedColors.find(color);
    if (cached != m_adjustedColors.end())
        return cached->second;
    const COLORREF adjusted = ColorAdjuster(m_hue, m_saturation, m_lightness).AdjustColorRef(color);
    m_adjustedColors[color] = adjusted;
    return adjusted;
}
