# Run by cpack once the files are staged and before it packs them.

# drifton has no web site, so its AppStream metadata names no homepage, and
# the lintian of Debian 13 and later, which validates the metadata, warns of
# it. The Debian package carries an override saying why, when the lintian of
# the release it is built for (the one it is built on, as its dependencies
# are) knows that check: an older lintian refuses to override a check it
# does not know.
if(CPACK_GENERATOR STREQUAL "DEB")
  execute_process(COMMAND lintian-explain-tags appstream-metadata-validation-failed
    RESULT_VARIABLE unknownTag OUTPUT_QUIET ERROR_QUIET)
  if(unknownTag EQUAL 0)
    set(overrides "${CPACK_TEMPORARY_DIRECTORY}/usr/share/lintian/overrides")
    file(MAKE_DIRECTORY "${overrides}")
    file(COPY_FILE "${CMAKE_CURRENT_LIST_DIR}/../data/drifton.lintian-overrides" "${overrides}/drifton")
    file(CHMOD "${overrides}/drifton" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()
endif()

# The staged folders are made with the umask's permissions (a folder made
# 755 under umask 077 is 700), and the packages store them: they become
# 755 whatever the umask. The files' permissions are set by the install rules.
file(GLOB_RECURSE stagedFolders LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(folder IN LISTS stagedFolders)
  if(IS_DIRECTORY "${folder}" AND NOT IS_SYMLINK "${folder}")
    file(CHMOD "${folder}" PERMISSIONS
      OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  endif()
endforeach()

# cpack lists the staged files in the order the folder gives them, which
# depends on the file system (ext4 gives a hashed order, different on every
# ext4, tmpfs the order of creation); the installer would store its files,
# and remove them, in that order. Here it gets the lists in name order.
if(NOT CPACK_GENERATOR STREQUAL "NSIS")
  return()
endif()

file(GLOB_RECURSE stagedFiles RELATIVE "${CPACK_TEMPORARY_DIRECTORY}" "${CPACK_TEMPORARY_DIRECTORY}/*")
list(SORT stagedFiles)
set(install "")
set(delete "")
set(folders "")
set(outFolder "")
foreach(file IN LISTS stagedFiles)
  get_filename_component(folder "${file}" DIRECTORY)
  string(REPLACE "/" "\\" windowsFile "${file}")
  # File puts a file in the current output folder: follow the file's folder.
  if(NOT folder STREQUAL outFolder)
    if(folder STREQUAL "")
      list(APPEND install "SetOutPath \"$INSTDIR\"")
    else()
      string(REPLACE "/" "\\" windowsFolder "${folder}")
      list(APPEND install "SetOutPath \"$INSTDIR\\${windowsFolder}\"")
    endif()
    set(outFolder "${folder}")
  endif()
  list(APPEND install "File \"\${INST_DIR}\\${windowsFile}\"")
  list(APPEND delete "Delete \"$INSTDIR\\${windowsFile}\"")
  # The file's folder and those above it, to remove on uninstalling.
  while(NOT folder STREQUAL "")
    list(APPEND folders "${folder}")
    get_filename_component(folder "${folder}" DIRECTORY)
  endwhile()
endforeach()
if(NOT outFolder STREQUAL "")
  list(APPEND install "SetOutPath \"$INSTDIR\"")
endif()
# In reverse name order a folder comes after everything inside it, so each is
# empty when its turn comes.
list(REMOVE_DUPLICATES folders)
list(SORT folders)
list(REVERSE folders)
set(removeFolders "")
foreach(folder IN LISTS folders)
  string(REPLACE "/" "\\" windowsFolder "${folder}")
  list(APPEND removeFolders "RMDir \"$INSTDIR\\${windowsFolder}\"")
endforeach()

# One command a line, indented as the script around them.
list(JOIN install "\n  " CPACK_NSIS_FULL_INSTALL)
list(JOIN delete "\n  " CPACK_NSIS_DELETE_FILES)
list(JOIN removeFolders "\n  " CPACK_NSIS_DELETE_DIRECTORIES)
string(PREPEND CPACK_NSIS_DELETE_FILES "  ")
if(removeFolders)
  string(PREPEND CPACK_NSIS_DELETE_DIRECTORIES "  ")
endif()
