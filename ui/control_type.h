#pragma once

// The kinds of control the factory makes. 5 is the frame window's own number; the factory makes
// nothing for it, nor for 0 or numbers above 15.
enum ControlType : int {
    kControlPane = 1,
    kControlButton = 2,
    kControlToolBar = 3,
    kControlTabCtrl = 4,
    kControlFrameWindow = 5,
    kControlListView = 6,
    kControlScrollBar = 7,
    kControlHeader = 8,
    kControlLabel = 9,
    kControlCheckBox = 10,
    kControlCheckBoxEx = 11,
    kControlRadioBox = 12,
    kControlProgress = 13,
    kControlDropButton = 14,
    kControlEditBox = 15,
};
