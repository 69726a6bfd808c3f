#pragma once

// Elements for the framework tests: they record the events they receive and paint a solid
// colour, so routing and painting can be checked from outside.

#include <windows.h>

#include <string>
#include <vector>

#include "ui/ui_object.h"

// Everything an element was told, in order, as short strings ("enter", "down 12,30" ...).
class RecordingElement : public UIObject {
public:
    explicit RecordingElement(std::string name, std::vector<std::string>* log, COLORREF color = RGB(200, 0, 0))
        : m_name(std::move(name)), m_log(log), m_color(color)
    {
    }

    void Place(int x, int y, int w, int h)
    {
        m_layoutX = x;
        m_layoutY = y;
        m_layoutW = w;
        m_layoutH = h;
    }
    void SetCommandId(int id) { m_commandId = id; }

    int paints = 0;
    RECT lastClip = {0, 0, 0, 0};

    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override
    {
        ++paints;
        lastClip = *clip;
        HBRUSH brush = CreateSolidBrush(m_color);
        FillRect(dc, ownRect, brush);
        DeleteObject(brush);
    }
    int ElementMouseEnter(UINT, POINT*) override { return Log("enter"); }
    int ElementMouseLeave(UINT, POINT* p) override { return Log("leave " + Point(p)); }
    int ElementMouseMove(UINT, POINT* p) override { return Log("move " + Point(p)); }
    int ElementLButtonDown(UINT, POINT* p) override { return Log("down " + Point(p)); }
    int ElementLButtonUp(UINT flags, POINT* p) override
    {
        Log("up " + Point(p));
        return UIObject::ElementLButtonUp(flags, p);
    }
    int ElementSetFocus(UIObject*) override { return Log("setfocus"); }
    int ElementKillFocus(UIObject* next) override { return Log(next == nullptr ? "killfocus null" : "killfocus"); }
    int ElementKeyDown(UINT key, LPARAM) override { return Log("keydown " + std::to_string(key)); }
    int ElementChar(UINT c, LPARAM) override { return Log("char " + std::to_string(c)); }
    int ElementMouseWheel(UINT, UINT delta, POINT*) override { return Log("wheel " + std::to_string(delta)); }
    void ElementTimer(UINT_PTR id) override { Log("timer " + std::to_string(id)); }
    int ElementVisibleChanged(BOOL visible) override { return Log(visible ? "shown" : "hidden"); }

private:
    int Log(const std::string& what)
    {
        if (m_log != nullptr)
            m_log->push_back(m_name + " " + what);
        return 1;
    }
    static std::string Point(const POINT* p) { return std::to_string(p->x) + "," + std::to_string(p->y); }

    std::string m_name;
    std::vector<std::string>* m_log;
    COLORREF m_color;
};

// A window-level element that counts its own paints.
class HostWindow : public UIObject {
public:
    int paints = 0;
    RECT lastClip = {0, 0, 0, 0};
    std::vector<std::string> log;

    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override
    {
        ++paints;
        lastClip = *clip;
        HBRUSH brush = CreateSolidBrush(RGB(0, 0, 80));
        FillRect(dc, ownRect, brush);
        DeleteObject(brush);
    }
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        log.push_back("command " + std::to_string(LOWORD(wParam)));
        return UIObject::OnCommand(wParam, lParam);
    }
    int ElementKeyDown(UINT key, LPARAM) override
    {
        log.push_back("window keydown " + std::to_string(key));
        return 0;
    }
    // The back buffer's pixels, for checks.
    const BYTE* Pixels() const { return static_cast<const BYTE*>(m_pixelBits); }
    int Stride() const { return m_stride; }
    int BufferHeight() const { return m_bufferHeight; }
    // Blue, green, red and alpha of pixel (x, y) in client coordinates (rows are bottom-up).
    const BYTE* PixelAt(int x, int y) const { return Pixels() + (m_bufferHeight - 1 - y) * m_stride + 4 * x; }
    void FillBuffer(BYTE value)
    {
        if (m_pixelBits != nullptr)
            memset(m_pixelBits, value, static_cast<size_t>(m_imageSize));
    }
};
