# The tool bar, radio box and drop button, tab control, and list view with its header, with real
# windows, USER messages, tooltips, GDI and GDI+ under Wine; what the controls draw is read back
# from the layered host's back buffer. The skin is a package built by the tests.
add_executable(more_controls_win32_tests
  ${CMAKE_CURRENT_LIST_DIR}/tool_bar_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/radio_box_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tab_ctrl_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_view_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../resource/win32_pixels.cpp
)
target_include_directories(more_controls_win32_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}
  ${CMAKE_CURRENT_LIST_DIR}/../resource
)
target_link_libraries(more_controls_win32_tests PRIVATE qv_ui gtest_main)
add_test(NAME more_controls_win32_tests COMMAND more_controls_win32_tests --gtest_brief=1)
