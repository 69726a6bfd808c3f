#include "installer/window_messages.h"

#ifndef QV_FEEDBACK_PAGE
#define QV_FEEDBACK_PAGE L"http://chat.varnholt-mobile.example/msgrd?v=3&uin=800018800&site=varnholt&menu=yes"
#endif

void FadeOutWindow(HWND window, bool layered, bool replacing)
{
    for (int alpha = 254;; alpha -= 25) {
        if (layered && !replacing) {
            BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(alpha), AC_SRC_ALPHA};
            UpdateLayeredWindow(window, nullptr, nullptr, nullptr, nullptr, nullptr, 0, &blend, ULW_ALPHA);
        }
        if (alpha <= 25)
            break;
        Sleep(30);
    }
}

const wchar_t* FeedbackPage()
{
    return QV_FEEDBACK_PAGE;
}
