# Fails when a file of the logic library includes a header of the widgets library or a
# Qt module beyond Core. Run by the build (CMakeLists.txt) as:
#   cmake -DROOT=<source root> -DFILES=<file|file|...> -DSTAMP=<file to touch> -P <this>
# The logic's own includes are written from the source root ("document/cdtdoc.h").
cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" files "${FILES}")
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
    if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      if(NOT CMAKE_MATCH_1 IN_LIST own)
        list(APPEND faults "${name}: includes \"${CMAKE_MATCH_1}\", which is not in the logic library")
      endif()
    elseif(line MATCHES "#[ \t]*include[ \t]*<(Qt(Gui|Widgets|SerialPort|PrintSupport)[^>]*)>")
      list(APPEND faults "${name}: includes <${CMAKE_MATCH_1}>, which is more than Qt Core")
    endif()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "The logic library must not need the widgets library:\n  ${text}")
endif()
file(TOUCH "${STAMP}")
