# cmake -DBUILD_DIR=... -DFOLDER=... -DPROGRAM=... -DEXPECT_PROGRAM=0|1 -P check-release.cmake
# Installs the build into FOLDER and fails unless FOLDER holds exactly the release layout: the
# program (when the build has one), the read-me, and the driver package as the build wrote it.
file(REMOVE_RECURSE ${FOLDER})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${FOLDER}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${status})")
endif()

set(expected README.txt PrinterDriver/series2/OEMPRINT.INF PrinterDriver/series2/VELS2.GPD)
if(EXISTS ${BUILD_DIR}/package/PrinterDriver/series2/VELS2.CAT)
  list(APPEND expected PrinterDriver/series2/VELS2.CAT)
endif()
if(EXPECT_PROGRAM)
  list(APPEND expected ${PROGRAM})
endif()
list(SORT expected)

file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE ${FOLDER} ${FOLDER}/*)
list(SORT found)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "release folder holds\n  ${found}\nexpected\n  ${expected}")
endif()

foreach(file OEMPRINT.INF VELS2.GPD)
  file(SHA256 ${FOLDER}/PrinterDriver/series2/${file} installed)
  file(SHA256 ${BUILD_DIR}/package/PrinterDriver/series2/${file} built)
  if(NOT installed STREQUAL built)
    message(FATAL_ERROR "the installed ${file} differs from the one the build wrote")
  endif()
endforeach()

file(READ ${FOLDER}/README.txt head LIMIT 3 HEX)
if(NOT head STREQUAL "efbbbf")
  message(FATAL_ERROR "README.txt does not start with the UTF-8 byte-order mark")
endif()
message(STATUS "release folder: ${found}")
