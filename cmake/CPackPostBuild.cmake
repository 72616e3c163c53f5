# Run by cpack after it has made a package and before it copies it out. Two
# things cpack takes from the file system the build happens on are made
# independent of it here:
# - the zip holds the files in the order the staging folder lists them (a
#   hashed order on ext4, different on every ext4; the order of creation on
#   tmpfs) and its file times in local time: it is written again with the
#   files in name order and the times in UTC;
# - the Debian package's Installed-Size adds up the sizes of the staged files
#   and of the folders themselves, and a folder's size is the file system's
#   (4096 bytes on ext4, a few dozen on tmpfs): it is counted again as dpkg
#   counts it, each file's size in KiB rounded up and one KiB for each folder.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(packageName "${package}" NAME)
  set(work "${CPACK_TOPLEVEL_DIRECTORY}/rewrite")
  file(REMOVE_RECURSE "${work}")
  file(MAKE_DIRECTORY "${work}")

  if(package MATCHES "\\.zip$")
    file(GLOB_RECURSE files RELATIVE "${CPACK_TEMPORARY_DIRECTORY}" "${CPACK_TEMPORARY_DIRECTORY}/*")
    list(SORT files)
    # The file times are SOURCE_DATE_EPOCH's, as in the package cpack made.
    execute_process(COMMAND "${CMAKE_COMMAND}" -E env TZ=UTC
      "${CMAKE_COMMAND}" -E tar cf "${work}/${packageName}" --format=zip -- ${files}
      WORKING_DIRECTORY "${CPACK_TEMPORARY_DIRECTORY}" RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "${packageName}: cannot write the zip again")
    endif()
    file(RENAME "${work}/${packageName}" "${package}")

  elseif(package MATCHES "\\.deb$")
    # A Debian package is an ar archive of debian-binary, control.tar.gz and
    # data.tar.gz, in that order.
    file(MAKE_DIRECTORY "${work}/control" "${work}/data")
    execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${package}"
      WORKING_DIRECTORY "${work}" RESULT_VARIABLE failed)
    if(NOT failed)
      execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf ../control.tar.gz
        WORKING_DIRECTORY "${work}/control" RESULT_VARIABLE failed)
    endif()
    if(NOT failed)
      execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf ../data.tar.gz
        WORKING_DIRECTORY "${work}/data" RESULT_VARIABLE failed)
    endif()
    if(failed OR NOT EXISTS "${work}/debian-binary" OR NOT EXISTS "${work}/control/control")
      message(FATAL_ERROR "${packageName}: cannot unpack it")
    endif()

    set(kib 0)
    file(GLOB_RECURSE entries LIST_DIRECTORIES true "${work}/data/*")
    foreach(entry IN LISTS entries)
      if(IS_DIRECTORY "${entry}" OR IS_SYMLINK "${entry}")
        math(EXPR kib "${kib} + 1")
      else()
        file(SIZE "${entry}" size)
        math(EXPR kib "${kib} + (${size} + 1023) / 1024")
      endif()
    endforeach()
    file(READ "${work}/control/control" control)
    string(REGEX REPLACE "\nInstalled-Size: [0-9]+\n" "\nInstalled-Size: ${kib}\n" newControl "${control}")
    if(NOT newControl MATCHES "\nInstalled-Size: ${kib}\n")
      message(FATAL_ERROR "${packageName}: its control file has no Installed-Size")
    endif()
    file(WRITE "${work}/control/control" "${newControl}")

    # The control archive again as cpack makes it: the same two members,
    # root's, mode 644, at SOURCE_DATE_EPOCH, compressed without a name or
    # time.
    execute_process(
      COMMAND tar --create --format=gnu --owner=root:0 --group=root:0 --mode=0644
        "--mtime=@$ENV{SOURCE_DATE_EPOCH}" --file=- ./md5sums ./control
      COMMAND gzip -9n
      WORKING_DIRECTORY "${work}/control" OUTPUT_FILE "${work}/control.tar.gz"
      RESULTS_VARIABLE results)
    if(NOT results STREQUAL "0;0")
      message(FATAL_ERROR "${packageName}: cannot write its control archive again")
    endif()

    # The ar archive as cpack writes it: a BSD-style header per member (name,
    # time, owner, group, mode, size, each padded with spaces), and a newline
    # after a member of odd size.
    set(parts "${work}/magic")
    file(WRITE "${work}/magic" "!<arch>\n")
    file(WRITE "${work}/newline" "\n")
    string(REPEAT " " 16 spaces)
    foreach(member debian-binary control.tar.gz data.tar.gz)
      file(SIZE "${work}/${member}" size)
      set(header "")
      foreach(field "${member}:16" "$ENV{SOURCE_DATE_EPOCH}:12" "0:6" "0:6" "100644:8" "${size}:10")
        string(REGEX MATCH "^(.*):([0-9]+)$" ignored "${field}")
        string(SUBSTRING "${CMAKE_MATCH_1}${spaces}" 0 ${CMAKE_MATCH_2} padded)
        string(APPEND header "${padded}")
      endforeach()
      file(WRITE "${work}/${member}.header" "${header}`\n")
      list(APPEND parts "${work}/${member}.header" "${work}/${member}")
      math(EXPR odd "${size} % 2")
      if(odd)
        list(APPEND parts "${work}/newline")
      endif()
    endforeach()
    execute_process(COMMAND "${CMAKE_COMMAND}" -E cat ${parts}
      OUTPUT_FILE "${work}/${packageName}" RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "${packageName}: cannot write it again")
    endif()
    file(RENAME "${work}/${packageName}" "${package}")
  endif()
  file(REMOVE_RECURSE "${work}")
endforeach()
