#include "ui/controls/control_factory.h"

#include "ui/control_type.h"
#include "ui/controls/ui_button.h"
#include "ui/controls/ui_check_box.h"
#include "ui/controls/ui_edit_box.h"
#include "ui/controls/ui_label.h"
#include "ui/controls/ui_list_view.h"
#include "ui/controls/ui_pane.h"
#include "ui/controls/ui_progress.h"
#include "ui/controls/ui_radio_box.h"
#include "ui/controls/ui_scroll_bar.h"
#include "ui/controls/ui_tab_ctrl.h"
#include "ui/controls/ui_tool_bar.h"
#include "ui/ui_object.h"

UIObject* NewControlOfType(int type)
{
    switch (type) {
    case kControlPane: return new UIPane;
    case kControlButton: return new UIButton;
    case kControlLabel: return new UILabel;
    case kControlProgress: return new UIProgress;
    case kControlScrollBar: return new UIScrollBar;
    case kControlCheckBox: return new UICheckBox;
    case kControlCheckBoxEx: return new UICheckBoxEx;
    case kControlEditBox: return new UIEditBox;
    case kControlToolBar: return new UIToolBar;
    case kControlTabCtrl: return new UITabCtrl;
    case kControlListView: return new UIListView;
    case kControlHeader: return new UIHeader;
    case kControlRadioBox: return new UIRadioBox;
    case kControlDropButton: return new UIDropButton;
    default:
        // Kinds whose controls are not part of the program make nothing.
        return nullptr;
    }
}
