# The page: drifton.js and drifton.wasm beside index.html in a folder that
# any static web server serves, with what makes it installable and usable
# with no network (a manifest, its icons, a service worker). Included by
# app/CMakeLists.txt.
add_library(driftonweb STATIC PlatformChoice.cpp StartupFailure.cpp
  web/web_platform.cpp web/web_canvas.cpp web/web_gl_batch.cpp web/web_gl_entry_points.cpp)
target_link_libraries(driftonweb PUBLIC driftoncore)

# Builds the page into FOLDER of the build folder, seeded by the entropy
# library ENTROPY.
function(driftonPage target folder entropy)
  add_executable(${target} web/web_main.cpp Shell.cpp)
  target_link_libraries(${target} PRIVATE driftonweb driftoncore ${entropy})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME drifton SUFFIX .js
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${folder})
  target_link_options(${target} PRIVATE
    # The shell's loop waits for animation frames and sleeps (and, while
    # the WebGL context is lost, waits in takeEvent) by handing control back
    # to the browser, which Asyncify makes possible. Only the functions on
    # the way from main to those waits are instrumented (the
    # list names the entry under each name a release of Emscripten may give
    # it, and the shell's loop in case it is not inlined; names it does not
    # find draw a warning).
    -sASYNCIFY
    "-sASYNCIFY_ONLY=@${CMAKE_CURRENT_SOURCE_DIR}/web/asyncify_functions.txt"
    -sENVIRONMENT=web
    # The page's own script (full screen on a double click) comes first in
    # drifton.js: the page has no inline script, for strict policies.
    "--pre-js=${CMAKE_CURRENT_SOURCE_DIR}/web/page.js"
    # No debug information or names in what the browser downloads, whatever
    # the build type.
    -g0)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/web/asyncify_functions.txt
    ${CMAKE_CURRENT_SOURCE_DIR}/web/page.js)
  set(out ${CMAKE_BINARY_DIR}/${folder})
  foreach(file index.html drifton.css drifton.webmanifest)
    configure_file(web/${file} ${out}/${file} COPYONLY)
  endforeach()
  # The icons the manifest names, from the program's icon. The maskable one
  # is drawn 352 pixels of 512 on black, so that all it draws lies within
  # the middle circle of 80% that every mask keeps.
  set(svg ${PROJECT_SOURCE_DIR}/data/drifton.svg)
  add_custom_command(OUTPUT ${out}/icon-192.png ${out}/icon-512.png ${out}/icon-maskable-512.png
    COMMAND ${RSVG_CONVERT} -w 192 -h 192 -o ${out}/icon-192.png ${svg}
    COMMAND ${RSVG_CONVERT} -w 512 -h 512 -o ${out}/icon-512.png ${svg}
    COMMAND ${RSVG_CONVERT} -w 352 -h 352 --page-width 512 --page-height 512 --left 80 --top 80
      -b black -o ${out}/icon-maskable-512.png ${svg}
    DEPENDS ${svg} VERBATIM)
  # The worker, remade whenever one of the files it keeps is (the program's
  # two through the target, which makes both at once).
  set(kept ${driftonPageFiles})
  list(REMOVE_ITEM kept drifton.js drifton.wasm)
  list(TRANSFORM kept PREPEND ${out}/)
  list(JOIN driftonPageFiles , names)
  add_custom_command(OUTPUT ${out}/service-worker.js
    COMMAND ${CMAKE_COMMAND} -DFOLDER=${out} -DFILES=${names}
      -DTEMPLATE=${CMAKE_CURRENT_SOURCE_DIR}/web/service-worker.js.in
      -P ${CMAKE_CURRENT_SOURCE_DIR}/web/ServiceWorker.cmake
    DEPENDS ${target} ${kept} web/service-worker.js.in web/ServiceWorker.cmake VERBATIM)
  add_custom_target(${target}_worker ALL DEPENDS ${out}/service-worker.js)
endfunction()

find_program(RSVG_CONVERT rsvg-convert REQUIRED)
# The page's files, which its service worker keeps, beside the worker.
set(driftonPageFiles index.html drifton.css drifton.js drifton.wasm drifton.webmanifest
  icon-192.png icon-512.png icon-maskable-512.png)

driftonPage(drifton web driftonentropy)
# The page as the zip holds it.
list(TRANSFORM driftonPageFiles PREPEND ${CMAKE_BINARY_DIR}/web/ OUTPUT_VARIABLE pageFiles)
install(FILES ${pageFiles} ${CMAKE_BINARY_DIR}/web/service-worker.js DESTINATION drifton)
# The same page seeded by the tests' scripted entropy: with the script's
# defaults (no device, clocks at 1 and 0) every generator's seed is known,
# so browser tests can compare its pictures with the native program's.
if(DRIFTON_TESTS)
  driftonPage(drifton_scripted web-scripted scriptedentropy)
endif()
