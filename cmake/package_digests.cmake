# cmake -DROOT=<folder> -DOUTPUT=<source> "-DFILES=<file>;..." -P package_digests.cmake
# Writes the source that gives the program the SHA-256 digest of every file of its driver
# package (install/package_integrity.h), taken from the very files that ship. ROOT holds
# PrinterDriver/ as the program's folder does; FILES are the package's files below it.
set(inf PrinterDriver/series2/OEMPRINT.INF)
string(LENGTH ${inf} inf_length)

set(entries)
set(inf_entry)
foreach(file IN LISTS FILES)
  file(RELATIVE_PATH relative ${ROOT} ${file})
  # Plain names only: the path goes into a C++ literal and, below the program's folder, into
  # the file name the program opens.
  if(NOT relative MATCHES "^PrinterDriver(/[A-Za-z0-9_-]+)*/[A-Za-z0-9_-]+\\.[A-Za-z0-9_]+$")
    message(FATAL_ERROR "${file}: the package's files must lie below ${ROOT}/PrinterDriver "
                        "and have plain names (letters, digits, _ and -, one extension)")
  endif()
  # The printer UI reads a copy of the INF's folder, which holds the whole package.
  get_filename_component(folder ${relative} DIRECTORY)
  get_filename_component(inf_folder ${inf} DIRECTORY)
  if(NOT folder STREQUAL inf_folder)
    message(FATAL_ERROR "${relative}: every package file lies in the INF's folder")
  endif()
  # A program folder short enough for the INF's path is short enough for every file's path.
  string(LENGTH ${relative} length)
  if(length GREATER inf_length)
    message(FATAL_ERROR "${relative}: a package file's path may not be longer than ${inf}")
  endif()
  file(SHA256 ${file} digest)
  string(REGEX REPLACE "(..)" "0x\\1, " bytes ${digest})
  string(REGEX REPLACE ", $" "" bytes "${bytes}")
  string(REPLACE "/" "\\\\" windows_path ${relative})
  set(entry "    {TEXT(\"${windows_path}\"),\n     {${bytes}}},\n")
  if(relative STREQUAL inf)
    set(inf_entry ${entry})
  else()
    string(APPEND entries ${entry})
  endif()
endforeach()
if(NOT inf_entry)
  message(FATAL_ERROR "the package lacks ${inf}, which the install command names")
endif()

file(WRITE ${OUTPUT} "// Written by cmake/package_digests.cmake from the driver package of this build.
#include <iterator>

#include \"install/package_integrity.h\"

const PackageFileDigest kDriverPackageFiles[] = {
${inf_entry}${entries}};
const std::size_t kDriverPackageFileCount = std::size(kDriverPackageFiles);
")
