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
# The impostors the planted scenario puts beside a copy of the installer, in planted/.
set(planted_dir ${CMAKE_CURRENT_BINARY_DIR}/planted)
add_executable(planted_rundll32 planted_rundll32.cpp)
set_target_properties(planted_rundll32 PROPERTIES OUTPUT_NAME rundll32)
target_link_options(planted_rundll32 PRIVATE -municode)
add_library(planted_winspool SHARED planted_winspool.cpp)
set_target_properties(planted_winspool PROPERTIES OUTPUT_NAME winspool PREFIX "" SUFFIX .drv)
target_link_options(planted_winspool PRIVATE -Wl,--kill-at)
foreach(impostor planted_rundll32 planted_winspool)
  set_target_properties(${impostor} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${planted_dir})
  target_include_directories(${impostor} PRIVATE ${PROJECT_SOURCE_DIR})
endforeach()
# Injected into the installer by the scenarios that need a platform call to fail.
add_library(fault_inject SHARED fault_inject.cpp)
set_target_properties(fault_inject PROPERTIES PREFIX "")
add_dependencies(ui_install_test VelmoraSetup printui_standin printui_standin_x86_64
                 planted_rundll32 planted_winspool fault_inject)
wine_path(ui_shots ${CMAKE_CURRENT_BINARY_DIR})
wine_path(ui_planted ${planted_dir})
function(add_ui_install_test scenario)
  cmake_parse_arguments(ARG "WIN32" "" "" ${ARGN})
  set(name ui_install_${scenario})
  set(standin ${WINE_STANDIN})
  set(prefix)
  if(ARG_WIN32)
    set(name ${name}_win32)
    set(standin ${CMAKE_CURRENT_BINARY_DIR}/i686/printui.dll)
    set(prefix WIN32)
  endif()
  wine_path(standin ${standin})
  add_wine_test(${name} ${prefix}
    COMMAND $<TARGET_FILE:ui_install_test> ${scenario} ${ui_program} ${ui_shots} ${standin}
            ${ui_planted})
endfunction()
foreach(scenario detected manual manual-without-lpt back-and-next retry installing package
                 planted timer-fails thread-fails spooler-fails)
  add_ui_install_test(${scenario})
endforeach()
# In a 32-bit prefix, the i686 program's system folder is the native one.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  add_ui_install_test(planted WIN32)
endif()
