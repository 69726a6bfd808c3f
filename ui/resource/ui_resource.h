#pragma once

// UIResource: the loaded UI resource package of the program (the resource "UIR" 129). It answers
// typed queries about window and element nodes addressed by slash-separated paths such as
// "MainWindow/InstallButton2", decodes the package's PNG images into CHBitmap objects and its font
// records into GDI fonts, and caches both for its whole life. Callers never release what it hands
// out; elements copy what they need while they load.
//
// The package format, the path rules and the integer, rectangle, point and colour readings are
// UIPackage's (ui_package.h). Missing entries are never errors: every query then gives its zero
// value. Used on the user-interface thread only.

#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "package/json/json_value.h"
#include "ui/ch_bitmap.h"
#include "ui/resource/skin_records.h"
#include "ui/resource/ui_package.h"

// Whether an image takes part in colour adjustment.
enum class ImageTint { kFixed, kAdjustable };

// The private message every window of the thread receives after SetColorAdjust.
constexpr UINT WM_SKIN_COLORS_CHANGED = 0x6A60;

// The operations of a UI resource package, in their fixed slot order. Where an operation takes
// (path, start), the node is FindNode (path, start).
class IUIResource {
public:
    virtual ~IUIResource() = default;

    virtual bool LoadFromModule(HINSTANCE instance, const wchar_t* type, int id) = 0;              // 0
    virtual bool LoadFromFile(const wchar_t* path) = 0;                                           // 1
    virtual bool LoadFromMemory(const std::string& bytes) = 0;                                    // 2
    virtual const JsonValue* FindNode(const char* path, const JsonValue* start) const = 0;        // 3
    virtual int GetInt(const char* path, const JsonValue* start) const = 0;                       // 4
    virtual RECT GetRect(const char* path, const JsonValue* start) const = 0;                     // 5
    virtual ImageStyle GetImageStyle(const char* path, const JsonValue* start) = 0;               // 6
    virtual POINT GetPoint(const char* path, const JsonValue* start) const = 0;                   // 7
    virtual COLORREF GetColor(const char* path, const JsonValue* start) const = 0;                // 8
    virtual TextStyle GetTextStyle(const char* path, const JsonValue* start) = 0;                 // 9
    virtual HFONT GetFont(int id) = 0;                                                            // 10
    virtual CHBitmap* GetImage(int id, ImageTint tint) = 0;                                       // 11
    virtual bool GetResourceBytes(const char* group, int id, std::string& out) const = 0;        // 12
    virtual HFONT GetDefaultFont() = 0;                                                           // 13
    virtual HFONT GetDefaultBoldFont() = 0;                                                       // 14
    virtual bool SetColorAdjust(int hue, int saturation, int lightness) = 0;                      // 15
    virtual COLORREF AdjustColor(COLORREF color) = 0;                                             // 16
    virtual int GetHue() const = 0;                                                               // 17
    virtual int GetSaturation() const = 0;                                                        // 18
    virtual int GetLightness() const = 0;                                                         // 19
};

class UIResource : public IUIResource {
public:
    UIResource() = default;
    ~UIResource() override;
    UIResource(const UIResource&) = delete;
    UIResource& operator=(const UIResource&) = delete;

    // The resource's bytes through LoadFromMemory; false when it is missing or empty.
    bool LoadFromModule(HINSTANCE instance, const wchar_t* type, int id) override;
    // The whole file through LoadFromMemory; false when it cannot be read.
    bool LoadFromFile(const wchar_t* path) override;
    // Replaces the document and the record groups; the caches stay, so fonts and images already
    // handed out stay valid. False, with nothing changed, for a wrong magic or a package that
    // runs past its end.
    bool LoadFromMemory(const std::string& bytes) override;

    const JsonValue* FindNode(const char* path, const JsonValue* start) const override;
    int GetInt(const char* path, const JsonValue* start) const override;
    // RECT holds the four integers in array order (left, top, right, bottom = x, y, w, h).
    RECT GetRect(const char* path, const JsonValue* start) const override;
    // A zeroed record with the background fields set only when "bi" names an image that loads,
    // and the foreground fields and "al" only when "fi" does.
    ImageStyle GetImageStyle(const char* path, const JsonValue* start) override;
    POINT GetPoint(const char* path, const JsonValue* start) const override;
    COLORREF GetColor(const char* path, const JsonValue* start) const override;
    TextStyle GetTextStyle(const char* path, const JsonValue* start) override;

    // The font of record id in the "fonts" group: the icon-title font with the record's fields
    // laid over it. A missing record gives null, and that null is cached like a font.
    HFONT GetFont(int id) override;
    // The decoded image of record id in the "images" group. The tint of the first request wins.
    // A missing or undecodable image gives null and is not cached, so a later request tries again.
    CHBitmap* GetImage(int id, ImageTint tint) override;
    bool GetResourceBytes(const char* group, int id, std::string& out) const override;

    HFONT GetDefaultFont() override;
    HFONT GetDefaultBoldFont() override;

    // Stores the values, re-tints every adjustable image from its unadjusted copy, and tells every
    // window of the calling thread (WM_SKIN_COLORS_CHANGED, then a repaint of visible ones).
    bool SetColorAdjust(int hue, int saturation, int lightness) override;
    // The colour under the current adjustment, cached per colour.
    COLORREF AdjustColor(COLORREF color) override;
    int GetHue() const override { return m_hue; }
    int GetSaturation() const override { return m_saturation; }
    int GetLightness() const override { return m_lightness; }

    const UIPackage& Package() const { return m_package; }

    // Lays a font record's fields over base: what GetFont does before creating the font. A face
    // name longer than LF_FACESIZE - 1 UTF-16 units is cut to that length (never inside a
    // surrogate pair), which is how the system itself reports such names.
    static void ApplyFontRecord(const std::string& recordBytes, LOGFONTW& base);

private:
    struct CachedImage {
        std::unique_ptr<CHBitmap> bitmap;
        ImageTint tint;
    };

    bool IsAdjusting() const { return m_hue != 0 || m_saturation != 0 || m_lightness != 0; }
    // Keeps an unadjusted copy of image id, once.
    void KeepOriginal(int id, const CHBitmap& image);

    int m_hue = 0;
    int m_lightness = 0;
    int m_saturation = 0;
    UIPackage m_package;
    std::map<int, HFONT> m_fonts;
    std::map<int, CachedImage> m_images;
    std::map<COLORREF, COLORREF> m_adjustedColors;
    std::map<int, std::unique_ptr<CHBitmap>> m_originals;
};
