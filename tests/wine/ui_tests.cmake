# Windows paths for the program under Wine, whose drive Z: is the root directory.
function(wine_path variable path)
  string(REPLACE "/" "\\" windows_path "Z:${path}")
  set(${variable} ${windows_path} PARENT_SCOPE)
endfunction()
wine_path(ui_program ${VELMORA_DIST_PROGRAM})

# One program for every Wine scenario: the wizard driven through its real windows, the real
# detector, and the driver package read with SetupAPI. Scenarios are grouped by what they leave
# in the prefix: each group runs in a prefix of its own.
add_executable(wine_scenarios wine_scenarios.cpp scenarios_wizard.cpp scenarios_faults.cpp
                              scenarios_detector.cpp)
target_link_libraries(wine_scenarios PRIVATE ports virtual_printers port_choice setupapi
                                              comctl32 winspool)
target_link_options(wine_scenarios PRIVATE -municode)
# The impostor of winspool.drv that the package scenario puts beside a copy of the installer,
# with one of rundll32.exe (this program: started as rundll32, it installs nothing).
set(planted_dir ${CMAKE_CURRENT_BINARY_DIR}/planted)
add_library(planted_winspool SHARED planted_winspool.cpp)
set_target_properties(planted_winspool PROPERTIES OUTPUT_NAME winspool PREFIX "" SUFFIX .drv
                                                  RUNTIME_OUTPUT_DIRECTORY ${planted_dir})
target_include_directories(planted_winspool PRIVATE ${PROJECT_SOURCE_DIR})
# The fault seam: loaded into the installer, or into this program, to make platform calls fail
# and count the objects opened and closed (fault_seam.h).
add_library(fault_inject SHARED fault_inject.cpp)
set_target_properties(fault_inject PROPERTIES PREFIX "")
target_include_directories(fault_inject PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(fault_inject PRIVATE advapi32 user32 setupapi)
add_dependencies(wine_scenarios VelmoraSetup printui_standin printui_standin_x86_64
                 planted_winspool fault_inject)
function(add_ui_test name)
  cmake_parse_arguments(ARG "WIN32" "" "SCENARIOS" ${ARGN})
  set(standin ${WINE_STANDIN})
  set(prefix)
  if(ARG_WIN32)
    set(standin ${CMAKE_CURRENT_BINARY_DIR}/i686/printui.dll)
    set(prefix WIN32)
  endif()
  wine_path(standin ${standin})
  add_wine_test(ui_${name} ${prefix}
    COMMAND $<TARGET_FILE:wine_scenarios> ${ui_program} ${standin} ${ARG_SCENARIOS})
endfunction()
# Nothing installed: the driver package, the detector, the pages, the start-up and the spooler
# failing; then Finish when the page cannot start its run, copy or check the package, or launch
# the printer UI.
add_ui_test(wizard SCENARIOS driver-package discovery discovery-fails welcome too-deep
                             start-up-fails spooler-fails)
add_ui_test(faults SCENARIOS timer-fails thread-fails stage-folder-fails stage-random-fails
                             stage-read-fails stage-write-fails stage-hash-fails
                             stage-digest-fails launch-fails)
# Installs, first through Wine's own entry point (before the stand-in is placed).
add_ui_test(install SCENARIOS shorter-name manual detected package relinked timed-out)
# In a 32-bit prefix, the i686 program's system folder is the native one.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  add_ui_test(install_win32 WIN32 SCENARIOS package)
endif()
