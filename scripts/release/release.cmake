# The release folder, made by `cmake --install <build> --prefix <folder>`:
#   the i686 build installs    VelmoraSetup.exe, PrinterDriver\series2\..., README.txt
#   the x86_64 build installs  VelmoraSetup64.exe and the same package and read-me.
# Installing both builds into one folder gives the folder that ships; scripts/make-release.sh
# does that and zips it.
if(NOT WIN32)
  return()
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(release_program VelmoraSetup64.exe)
else()
  set(release_program VelmoraSetup.exe)
endif()
if(TARGET VelmoraSetup)
  install(PROGRAMS $<TARGET_FILE:VelmoraSetup> DESTINATION . RENAME ${release_program})
else()
  message(STATUS "No VelmoraSetup target: the release folder lacks ${release_program}")
endif()

get_target_property(release_package driver_package PACKAGE_DIR)
install(DIRECTORY ${release_package} DESTINATION .)

# The read-me in UTF-8 with a byte-order mark and CRLF, which every Notepad reads.
set(release_dir ${PROJECT_BINARY_DIR}/release)
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt.in ${release_dir}/README.utf8.txt @ONLY
               NEWLINE_STYLE CRLF)
add_custom_command(
  OUTPUT ${release_dir}/README.txt
  COMMAND ${CMAKE_COMMAND} -E env ICONV=${ICONV_PROGRAM} sh
          ${PROJECT_SOURCE_DIR}/scripts/encode-text.sh UTF-8 bom ${release_dir}/README.utf8.txt
          ${release_dir}/README.txt
  DEPENDS ${release_dir}/README.utf8.txt ${PROJECT_SOURCE_DIR}/scripts/encode-text.sh
  VERBATIM)
add_custom_target(release_readme ALL DEPENDS ${release_dir}/README.txt)
install(FILES ${release_dir}/README.txt DESTINATION .)
# The release day, for scripts/make-release.sh to date the ZIP's entries.
file(CONFIGURE OUTPUT ${release_dir}/date.txt CONTENT "${VELMORA_RELEASE_DATE}\n")

# Installs this build into a scratch folder and checks that it holds the release layout.
add_test(NAME release_folder
         COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${PROJECT_BINARY_DIR}
                 -DFOLDER=${release_dir}/check -DPROGRAM=${release_program}
                 -DEXPECT_PROGRAM=$<TARGET_EXISTS:VelmoraSetup> -P
                 ${CMAKE_CURRENT_LIST_DIR}/check-release.cmake)

# The shipped program imports only DLLs that Windows takes from its own folder, and carries the
# hardening flags in its PE header.
if(TARGET VelmoraSetup)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_test(NAME ${CMAKE_SYSTEM_PROCESSOR}.program_pe_headers
           COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/check-program.py
                   $<TARGET_FILE:VelmoraSetup>)
endif()

# What `cmake --install` needs, and nothing else: scripts/make-release.sh builds only this.
add_custom_target(release_files)
add_dependencies(release_files release_readme driver_package)
if(TARGET VelmoraSetup)
  add_dependencies(release_files VelmoraSetup)
endif()
