# The wizard tested through its real windows: ui_wizard_test starts the installer from its
# shippable folder under Wine and reads and presses it with window messages only.
add_executable(ui_wizard_test ui_wizard_test.cpp)
target_link_libraries(ui_wizard_test PRIVATE platform gdiplus gdi32 comctl32)
target_link_options(ui_wizard_test PRIVATE -municode)
add_dependencies(ui_wizard_test VelmoraSetup)

# Windows paths for the program under Wine, whose drive Z: is the root directory.
function(wine_path variable path)
  string(REPLACE "/" "\\" windows_path "Z:${path}")
  set(${variable} ${windows_path} PARENT_SCOPE)
endfunction()
wine_path(ui_program ${VELMORA_DIST_PROGRAM})
# docs/welcome.png is a copy of this screenshot from the i686 build.
wine_path(ui_screenshot ${CMAKE_CURRENT_BINARY_DIR}/welcome.png)
add_wine_test(ui_wizard COMMAND $<TARGET_FILE:ui_wizard_test> ${ui_program} ${ui_screenshot})
