# cmake -DBUILD_DIR=<build> -DPREFIX=<empty prefix> -DVALIDATE=<desktop-file-validate>
#       -DAPPSTREAMCLI=<appstreamcli> [-DEMULATOR=<command line>] -P CheckInstall.cmake
# EMULATOR runs the installed program where the build is for another processor.
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
separate_arguments(emulator UNIX_COMMAND "${EMULATOR}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E env --unset=DISPLAY ${emulator} "${program}"
  RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said TIMEOUT 30)
if(NOT result EQUAL 1 OR NOT said MATCHES "^drifton: ")
  message(FATAL_ERROR "${program} without a display ended with '${result}' and said:\n${said}")
endif()

# Everything else the install holds.
set(icon "${PREFIX}/share/icons/hicolor/scalable/apps/drifton.svg")
set(manual "${PREFIX}/share/man/man6/drifton.6.gz")
set(changelog "${PREFIX}/share/doc/drifton/changelog.gz")
set(metainfo "${PREFIX}/share/metainfo/drifton.metainfo.xml")
foreach(file IN ITEMS "${entry}" "${icon}" "${manual}" "${changelog}" "${metainfo}")
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "not installed: ${file}\n${output}")
  endif()
endforeach()
# The menu starts what Exec names: the installed program by its full path,
# quoted for the space in it, whether or not the prefix is on the PATH.
file(STRINGS "${entry}" execLine REGEX "^Exec=")
if(NOT execLine STREQUAL "Exec=\"${program}\"")
  message(FATAL_ERROR "the entry starts '${execLine}', not the installed ${program}")
endif()

if(NOT VALIDATE)
  message(FATAL_ERROR "desktop-file-validate is missing (package desktop-file-utils)")
endif()
execute_process(COMMAND "${VALIDATE}" "${entry}"
  RESULT_VARIABLE result OUTPUT_VARIABLE report ERROR_VARIABLE report)
if(NOT result EQUAL 0 OR NOT report STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate rejects ${entry} (${result}):\n${report}")
endif()

if(NOT APPSTREAMCLI)
  message(FATAL_ERROR "appstreamcli is missing (package appstream)")
endif()
# Every issue the validator finds, by its tag and severity (its YAML report
# lists them so in every release). None may be a warning or an error but
# those waived here, each for its reason:
# - cid-desktopapp-is-not-rdns: the id is not reverse-DNS, since the project
#   owns no domain to put in one;
# - url-homepage-missing: the project has no web site, and a made-up address
#   would be worse than none.
# Validators differ in which of these they know and how severely they take
# them, and refuse to override a tag they do not know, so the report is read
# rather than the exit code.
set(waived cid-desktopapp-is-not-rdns url-homepage-missing)
execute_process(COMMAND "${APPSTREAMCLI}" validate --no-net --format yaml "${metainfo}"
  OUTPUT_VARIABLE report ERROR_VARIABLE report)
if(NOT report MATCHES "\nValidator: ")
  message(FATAL_ERROR "appstreamcli gave no report for ${metainfo}:\n${report}")
endif()
string(REGEX MATCHALL "\n- tag: [^\n]+\n  severity: [a-z]+" issues "${report}")
set(found)
foreach(issue IN LISTS issues)
  string(REGEX REPLACE "^\n- tag: ([^\n]+)\n  severity: ([a-z]+)$" "\\1;\\2" tagAndSeverity "${issue}")
  list(GET tagAndSeverity 0 tag)
  list(GET tagAndSeverity 1 severity)
  list(APPEND found "${tag} (${severity})")
  list(FIND waived "${tag}" waiver)
  if(severity MATCHES "^(warning|error)$" AND waiver EQUAL -1)
    message(FATAL_ERROR "appstreamcli finds ${severity} ${tag} in ${metainfo}:\n${report}")
  endif()
endforeach()
message(STATUS "installed ${program}, ${entry}, ${icon}, ${manual}, ${changelog} and ${metainfo}; "
  "the entry and the metadata are valid. appstreamcli finds: ${found}")
