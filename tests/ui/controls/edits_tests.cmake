# Check boxes, the scroll bar and the edit boxes, with real windows, USER messages, GDI and GDI+
# under Wine; what the controls draw is read back from the layered host's back buffer.
add_executable(edits_win32_tests
  ${CMAKE_CURRENT_LIST_DIR}/check_box_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scroll_bar_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/edit_box_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../resource/win32_pixels.cpp
)
target_include_directories(edits_win32_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}
  ${CMAKE_CURRENT_LIST_DIR}/..
  ${CMAKE_CURRENT_LIST_DIR}/../resource
)
target_link_libraries(edits_win32_tests PRIVATE qv_ui gtest_main)
add_test(NAME edits_win32_tests COMMAND edits_win32_tests --gtest_brief=1)
