# The one version of a release: project(VERSION) in the top-level CMakeLists.txt. Everything
# that shows a version (the driver package's DriverVer, the GPD file version, the program's
# version resource, the read-me) takes it from here.
#
# The release date goes with it into DriverVer, where Windows compares it before the version
# when it chooses among driver packages: set it to the day of each release.
set(VELMORA_RELEASE_DATE "12/06/2026")

if(NOT VELMORA_RELEASE_DATE MATCHES "^(0[1-9]|1[0-2])/(0[1-9]|[12][0-9]|3[01])/20[0-9][0-9]$")
  message(FATAL_ERROR "VELMORA_RELEASE_DATE must read MM/DD/YYYY, not ${VELMORA_RELEASE_DATE}")
endif()

# Four parts, as DriverVer and the version resource want them.
set(VELMORA_VERSION_TWEAK 0)
if(DEFINED PROJECT_VERSION_TWEAK AND NOT PROJECT_VERSION_TWEAK STREQUAL "")
  set(VELMORA_VERSION_TWEAK ${PROJECT_VERSION_TWEAK})
endif()
set(VELMORA_FILE_VERSION
    "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.${VELMORA_VERSION_TWEAK}")

configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${PROJECT_BINARY_DIR}/generated/version.h
               @ONLY)
add_library(project_version INTERFACE)
target_include_directories(project_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
