# cmake -DBUILD_DIR=<build> -DPREFIX=<empty prefix> -DVALIDATE=<desktop-file-validate> -P CheckInstall.cmake
file(REMOVE_RECURSE "${PREFIX}")

execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${result}):\n${output}")
endif()

set(program "${PREFIX}/bin/drifton")
set(entry "${PREFIX}/share/applications/drifton.desktop")
if(NOT EXISTS "${program}" OR IS_DIRECTORY "${program}")
  message(FATAL_ERROR "not installed: ${program}\n${output}")
endif()
execute_process(COMMAND test -x "${program}" RESULT_VARIABLE notExecutable)
if(NOT notExecutable EQUAL 0)
  message(FATAL_ERROR "not executable: ${program}")
endif()
# Without a display the installed program starts, says so in one line and
# ends with 1: it is the program, and it finds every library it needs.
execute_process(COMMAND "${CMAKE_COMMAND}" -E env --unset=DISPLAY "${program}"
  RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said TIMEOUT 30)
if(NOT result EQUAL 1 OR NOT said MATCHES "^drifton: ")
  message(FATAL_ERROR "${program} without a display ended with '${result}' and said:\n${said}")
endif()

if(NOT EXISTS "${entry}")
  message(FATAL_ERROR "not installed: ${entry}\n${output}")
endif()
# The menu starts what Exec names, found on the PATH: the installed program.
file(STRINGS "${entry}" execLine REGEX "^Exec=")
if(NOT execLine STREQUAL "Exec=drifton")
  message(FATAL_ERROR "the entry starts '${execLine}', not the installed drifton")
endif()

set(icon "${PREFIX}/share/icons/hicolor/scalable/apps/drifton.svg")
if(NOT EXISTS "${icon}")
  message(FATAL_ERROR "not installed: ${icon}, the icon the entry names")
endif()

if(NOT VALIDATE)
  message(FATAL_ERROR "desktop-file-validate is missing (package desktop-file-utils)")
endif()
execute_process(COMMAND "${VALIDATE}" "${entry}"
  RESULT_VARIABLE result OUTPUT_VARIABLE report ERROR_VARIABLE report)
if(NOT result EQUAL 0 OR NOT report STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate rejects ${entry} (${result}):\n${report}")
endif()
message(STATUS "installed ${program}, ${entry} and ${icon}; the entry is valid")
