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

# The port and install page, scenario by scenario: each runs in a prefix of its own.
add_executable(ui_install_test ui_install_test.cpp)
target_link_libraries(ui_install_test PRIVATE ports ports_wine_fixture gdiplus gdi32 comctl32
                                              winspool)
target_link_options(ui_install_test PRIVATE -municode)
add_dependencies(ui_install_test VelmoraSetup printui_standin)
wine_path(ui_shots ${CMAKE_CURRENT_BINARY_DIR})
wine_path(ui_standin ${CMAKE_CURRENT_BINARY_DIR}/printui.dll)
foreach(scenario detected manual manual-without-lpt back-and-next retry installing package)
  add_wine_test(ui_install_${scenario}
    COMMAND $<TARGET_FILE:ui_install_test> ${scenario} ${ui_program} ${ui_shots}
            ${ui_standin} ${WINE_SYSDIR})
endforeach()
