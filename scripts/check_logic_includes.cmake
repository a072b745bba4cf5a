# Fails when a file of the logic library includes anything but its own files, Qt Core
# and the system's headers (the C++ library and the platform's). Run by the build
# (CMakeLists.txt) as:
#   cmake -DROOT=<source root> -DFILES=<file|file|...> -DQTCORE_DIRS=<dir|dir|...>
#         -DSTAMP=<file to touch> -P <this>
# QTCORE_DIRS are Qt Core's include folders (the one named QtCore holds its headers).
# The logic's own includes are written from the source root ("document/cdtdoc.h"), in
# quotes or angle brackets.
cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" files "${FILES}")
string(REPLACE "|" ";" qt_dirs "${QTCORE_DIRS}")
set(qt_core "")
foreach(dir IN LISTS qt_dirs)
  if(dir MATCHES "/QtCore/?$" AND IS_DIRECTORY "${dir}")
    set(qt_core "${dir}")
  elseif(IS_DIRECTORY "${dir}/QtCore")
    set(qt_core "${dir}/QtCore")
  endif()
endforeach()
if(NOT qt_core)
  message(FATAL_ERROR "Qt Core's headers are not among \"${QTCORE_DIRS}\"")
endif()

set(own)
foreach(file IN LISTS files)
  file(RELATIVE_PATH name "${ROOT}" "${file}")
  list(APPEND own "${name}")
endforeach()

set(faults)
foreach(file IN LISTS files)
  file(RELATIVE_PATH name "${ROOT}" "${file}")
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"]")
      continue()
    endif()
    set(quoted "${CMAKE_MATCH_1}")
    set(header "${CMAKE_MATCH_2}")
    if(quoted STREQUAL "<")
      set(shown "<${header}>")
    else()
      set(shown "\"${header}\"")
    endif()
    if(quoted STREQUAL "\"" OR EXISTS "${ROOT}/${header}")
      # A file of the project, however it is written.
      if(NOT header IN_LIST own)
        list(APPEND faults "${name}: includes ${shown}, which is not in the logic library")
      endif()
    elseif(header MATCHES "^Qt[A-Za-z0-9]*(/|$)" OR header MATCHES "^Q[A-Z]"
           OR header MATCHES "^q[a-z0-9_]*\\.h$")
      # A Qt header: Qt Core's own, by its class name or below QtCore/.
      string(REGEX REPLACE "^QtCore/" "" in_core "${header}")
      if(in_core MATCHES "/" OR NOT EXISTS "${qt_core}/${in_core}")
        list(APPEND faults "${name}: includes ${shown}, which is more than Qt Core")
      endif()
    endif()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "The logic library must not need the widgets library:\n  ${text}")
endif()
file(TOUCH "${STAMP}")
