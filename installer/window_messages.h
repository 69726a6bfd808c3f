#pragma once

#include <windows.h>

// The install is finished: the process window shows 100 % and hands over to the completion
// window. Sent by the install itself, or by the component download worker without waiting.
constexpr UINT WM_INSTALL_COMPLETE = 0x8401;

// Fades a layered window out through alphas 254, 229, ... 4, about 300 ms in all.
class UIObject;
void FadeOutWindow(HWND window, bool layered, bool replacing);

// Where the farewell window's contact button leads (a build setting, QV_FEEDBACK_PAGE).
const wchar_t* FeedbackPage();
