# The frame window and the button, label, progress bar and pane controls.
list(APPEND QV_UI_CONTROL_SOURCES
  ui_frame_window.cpp
  controls/ui_button.cpp
  controls/ui_label.cpp
  controls/ui_progress.cpp
  controls/ui_pane.cpp
)
