#pragma once

// The completion window after an install: one picture and one large button that starts the
// installed program. Any command ends the process.

#include <string>

#include "ui/resource/skin_records.h"
#include "ui/ui_object.h"

class CHSuccessWnd : public UIObject {
public:
    ~CHSuccessWnd() override = default;
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam) override;
    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override;
    int LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start) override;

    void SetProgramPath(const std::wstring& path) { m_programPath = path; }
    const std::wstring& GetProgramPath() const { return m_programPath; }

    static constexpr int kStartButtonId = 2001;

private:
    ImageStyle m_background;
    std::wstring m_programPath;
};
