# The tool bar, the radio box and drop button, the tab control, and the list view with its header.
list(APPEND QV_UI_CONTROL_SOURCES
  controls/ui_tool_bar.cpp
  controls/ui_radio_box.cpp
  controls/ui_tab_ctrl.cpp
  controls/ui_list_view.cpp
)
