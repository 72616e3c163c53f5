# What a Linux install holds beside the program: the desktop entry and icon,
# the AppStream metadata, the manual page, the changelog, the licence and the
# display mode's settings description, where xscreensaver-settings reads it.

# The version and the release date come from the project and its changelog.
configure_file(data/drifton.metainfo.xml.in drifton.metainfo.xml @ONLY)
configure_file(data/drifton.6.in drifton.6 @ONLY)
configure_file(data/changelog changelog COPYONLY)

# Compressed as Debian wants them, without a name or time inside so that
# every build gives the same bytes.
set(compressed ${CMAKE_BINARY_DIR}/compressed)
foreach(doc drifton.6 changelog)
  # gzip replaces the file it compresses: it works on a copy.
  add_custom_command(OUTPUT ${compressed}/${doc}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/${doc} ${compressed}/${doc}
    COMMAND gzip -9nf ${compressed}/${doc}
    DEPENDS ${CMAKE_BINARY_DIR}/${doc}
    VERBATIM)
  list(APPEND compressedDocs ${compressed}/${doc}.gz)
endforeach()
add_custom_target(compresseddocs ALL DEPENDS ${compressedDocs})

install(FILES ${compressed}/drifton.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${compressed}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)
install(FILES ${CMAKE_BINARY_DIR}/drifton.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/drifton.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES data/drifton.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)

# The desktop entry names the installed program by its full path, so the
# menu starts it whatever the prefix and whether or not that is on the PATH.
# The prefix is only known when installing (cmake --install --prefix, or
# cpack's /usr), so the entry is written then.
install(CODE "
  set(driftonEntry \"${PROJECT_SOURCE_DIR}/data/drifton.desktop\")
  set(driftonBindir \"${CMAKE_INSTALL_BINDIR}\")
  set(driftonDatadir \"${CMAKE_INSTALL_DATADIR}\")
  set(driftonStaging \"${CMAKE_BINARY_DIR}/entries\")
")
install(CODE [[
  set(program "${driftonBindir}/drifton")
  if(NOT IS_ABSOLUTE "${program}")
    set(program "${CMAKE_INSTALL_PREFIX}/${program}")
  endif()
  set(datadir "${driftonDatadir}")
  if(NOT IS_ABSOLUTE "${datadir}")
    set(datadir "${CMAKE_INSTALL_PREFIX}/${datadir}")
  endif()
  # Exec takes an argument that may be quoted; TryExec a plain string.
  set(command "${program}")
  if(program MATCHES "[\"`$\\%]")
    message(WARNING "drifton.desktop: '${program}' cannot be named in a desktop entry; it starts drifton from the PATH")
    set(command drifton)
    set(program drifton)
  elseif(program MATCHES " ")
    set(command "\"${program}\"")
  endif()
  file(READ "${driftonEntry}" entry)
  string(REPLACE "\nExec=drifton\n" "\nExec=${command}\n" entry "${entry}")
  string(REPLACE "\nTryExec=drifton\n" "\nTryExec=${program}\n" entry "${entry}")
  # One staging folder per program path, so that installs into different
  # prefixes at once do not share a file.
  string(MD5 key "${program}")
  file(WRITE "${driftonStaging}/${key}/drifton.desktop" "${entry}")
  file(INSTALL DESTINATION "${datadir}/applications" TYPE FILE
    FILES "${driftonStaging}/${key}/drifton.desktop")
]])
