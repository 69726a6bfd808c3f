# The control gallery: every skinned control in every state on one window, photographed on the
# virtual screen. Its own package covers the controls the shipped skin has no skin for; the rest
# come from the shipped package.
add_executable(gallery WIN32
  ${CMAKE_CURRENT_LIST_DIR}/../gallery/gallery.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../resource/win32_pixels.cpp
)
target_include_directories(gallery PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../resource)
target_link_libraries(gallery PRIVATE qv_ui qv_package)
target_link_options(gallery PRIVATE -municode)
if(QV_SKIN_UIR)
  add_test(NAME gallery_screenshot
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/../gallery/gallery_screenshot_test.sh
            ${CMAKE_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:gallery> ${QV_SKIN_UIR} ${CMAKE_BINARY_DIR}/screenshots)
  set_tests_properties(gallery_screenshot PROPERTIES RESOURCE_LOCK virtual_screen)
endif()
