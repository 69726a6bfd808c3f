#include "installer/ch_success_wnd2.h"

#include <shellapi.h>

#include "installer/window_messages.h"
#include "ui/controls/ui_button.h"
#include "ui/controls/ui_label.h"

LRESULT CHSuccessWnd2::OnCreate(WPARAM, LPARAM)
{
    StripCaption();
    MakeLayered();
    SetWindowSize(670, 400);
    CenterWindow();
    return 0;
}

int CHSuccessWnd2::LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start)
{
    UIFrameWindow::LoadFromResource(resource, path, start);
    auto* label1 = static_cast<UILabel*>(CreateControl("SuccessWindow2/Label1", resource, kControlLabel, this));
    auto* label2 = static_cast<UILabel*>(CreateControl("SuccessWindow2/Label2", resource, kControlLabel, this));
    auto* done = static_cast<UIButton*>(CreateControl("SuccessWindow2/ButtonOK", resource, kControlButton, this));
    auto* contact =
        static_cast<UIButton*>(CreateControl("SuccessWindow2/ButtonContact", resource, kControlButton, this));
    CreateControl("SuccessWindow2/Icon", resource, kControlPane, this);
    label1->SetText(L"卸载完毕。我们致力于为您打造超一流的用户体验，我们希望能得到您宝贵的建议和反馈。");
    label2->SetText(L"如果您有些话不吐不快，可以当面质问我们的产品经理。");
    done->SetText(L"完成");
    done->Invalidate(nullptr, TRUE);
    contact->SetText(L"立即吐槽产品经理");
    contact->Invalidate(nullptr, TRUE);
    return 1;
}

LRESULT CHSuccessWnd2::OnCommand(WPARAM wParam, LPARAM)
{
    switch (LOWORD(wParam)) {
    case kCloseId:
    case kDoneId:
        TerminateProcess(GetCurrentProcess(), 0);
        return 0;
    case kContactId:
        ShellExecuteW(nullptr, L"open", FeedbackPage(), nullptr, nullptr, SW_SHOW);
        return 0;
    default:
        return 0;
    }
}
