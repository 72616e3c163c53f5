# Writes FOLDER/service-worker.js from TEMPLATE for the files FILES (names
# in FOLDER, separated by commas). Its cache's name ends in the SHA-256 of
# the files' sums as sha256sum lists them, in that order, so that any change
# to any file makes another worker:
#   cmake -DFOLDER=... -DFILES=a,b -DTEMPLATE=... -P ServiceWorker.cmake
string(REPLACE "," ";" files "${FILES}")
set(sums "")
set(quoted "")
foreach(file IN LISTS files)
  file(SHA256 "${FOLDER}/${file}" sum)
  string(APPEND sums "${sum}  ${file}\n")
  list(APPEND quoted "'${file}'")
endforeach()
string(SHA256 DIGEST "${sums}")
list(JOIN quoted ", " FILES)
configure_file("${TEMPLATE}" "${FOLDER}/service-worker.js" @ONLY)
