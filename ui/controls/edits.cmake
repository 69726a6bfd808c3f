# Check boxes, the scroll bar and the edit boxes.
list(APPEND QV_UI_CONTROL_SOURCES
  controls/ui_check_box.cpp
  controls/ui_scroll_bar.cpp
  controls/ui_edit_box.cpp
  controls/cx_edit.cpp
)
