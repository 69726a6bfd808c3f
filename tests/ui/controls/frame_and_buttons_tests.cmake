# The frame window and the button, label, progress bar and pane controls, with real windows,
# messages and back-buffer pixels under Wine. The skin is a package built by the tests.
add_executable(frame_and_buttons_win32_tests
  ${CMAKE_CURRENT_LIST_DIR}/control_test_support.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_button_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_frame_window_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_label_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_progress_pane_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../resource/win32_pixels.cpp
)
target_include_directories(frame_and_buttons_win32_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_LIST_DIR}/../resource)
target_link_libraries(frame_and_buttons_win32_tests PRIVATE qv_ui gtest_main)
add_test(NAME frame_and_buttons_win32_tests COMMAND frame_and_buttons_win32_tests --gtest_brief=1)
