#pragma once

// The farewell window after an uninstall: thanks, a button that opens the feedback page (it may be
// used again and again), and "完成", which ends the process.

#include "ui/ui_frame_window.h"

class CHSuccessWnd2 : public UIFrameWindow {
public:
    ~CHSuccessWnd2() override = default;
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam) override;
    int LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start) override;

    static constexpr int kCloseId = 1000;
    static constexpr int kDoneId = 1002;
    static constexpr int kContactId = 3001;
};
