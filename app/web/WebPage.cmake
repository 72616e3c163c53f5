# The page: drifton.js and drifton.wasm beside index.html in a folder that
# any static web server serves. Included by app/CMakeLists.txt.
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
  configure_file(web/index.html ${CMAKE_BINARY_DIR}/${folder}/index.html COPYONLY)
  configure_file(web/drifton.css ${CMAKE_BINARY_DIR}/${folder}/drifton.css COPYONLY)
endfunction()

driftonPage(drifton web driftonentropy)
# The same page seeded by the tests' scripted entropy: with the script's
# defaults (no device, clocks at 1 and 0) every generator's seed is known,
# so browser tests can compare its pictures with the native program's.
if(DRIFTON_TESTS)
  driftonPage(drifton_scripted web-scripted scriptedentropy)
endif()
