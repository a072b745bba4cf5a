# The logic library's include check, run on a small source tree of its own: one row per
# include line, with whether the check lets it through. Run by CTest as:
#   cmake -DCHECK=<check script> -DQTCORE_DIRS=<dir|dir|...> -DWORK=<scratch folder> -P <this>
cmake_minimum_required(VERSION 3.25)

# The tree: a logic module (display/plot_scale) and the file under test beside it,
# and two headers of the widgets library.
file(REMOVE_RECURSE "${WORK}")
file(WRITE "${WORK}/display/plot_scale.h" "#pragma once\n")
file(WRITE "${WORK}/display/cdtview.h" "#pragma once\n")
file(WRITE "${WORK}/platform/message_box.h" "#pragma once\n")

# include line | passes
set(rows
  "#include \"display/plot_scale.h\"|yes"
  "#include <display/plot_scale.h>|yes"
  "#include <QByteArray>|yes"
  "#include <QtCore/QByteArray>|yes"
  "#include <QtGlobal>|yes"
  "#include <vector>|yes"
  "#include <sys/stat.h>|yes"
  "#include \"display/cdtview.h\"|no"
  "#include <platform/message_box.h>|no"
  "#include <display/cdtview.h>|no"
  "#include <QImage>|no"
  "#include <qimage.h>|no"
  "#include <QtGui/QImage>|no"
  "#include <QtNetwork/QTcpSocket>|no"
  "#include <QtNetwork>|no")

set(failures)
foreach(row IN LISTS rows)
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 0 line)
  list(GET fields 1 passes)
  file(WRITE "${WORK}/display/probe.cpp" "${line}\nint probe();\n")
  file(REMOVE "${WORK}/stamp")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -DROOT=${WORK}
            "-DFILES=${WORK}/display/probe.cpp|${WORK}/display/plot_scale.h"
            "-DQTCORE_DIRS=${QTCORE_DIRS}" -DSTAMP=${WORK}/stamp -P ${CHECK}
    RESULT_VARIABLE result
    ERROR_VARIABLE message)
  if(passes STREQUAL "yes")
    if(NOT result EQUAL 0 OR NOT EXISTS "${WORK}/stamp")
      list(APPEND failures "${line}: refused, should pass\n${message}")
    endif()
  elseif(result EQUAL 0 OR EXISTS "${WORK}/stamp"
         OR NOT message MATCHES "The logic library must not need the widgets library"
         OR NOT message MATCHES "display/probe.cpp: includes")
    list(APPEND failures "${line}: let through, should be refused\n${message}")
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "${text}")
endif()
