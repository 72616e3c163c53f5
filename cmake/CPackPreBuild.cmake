# Run by cpack once the files are staged and before it packs them. cpack
# lists the staged files in the order the folder gives them, which depends on
# the file system (ext4 gives a hashed order, different on every ext4, tmpfs
# the order of creation); the installer would store its files, and remove
# them, in that order. Here it gets the lists in name order instead.
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
