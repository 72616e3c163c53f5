# Builds the page (the program in WebAssembly, drawing through WebGL) with
# the system's Emscripten, on Emscripten's own toolchain file (see
# docs/web.md):
#   cmake -S . -B build-web -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten.cmake
execute_process(COMMAND em-config EMSCRIPTEN_ROOT
  OUTPUT_VARIABLE emscriptenRoot OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
if(failed OR NOT EXISTS "${emscriptenRoot}/cmake/Modules/Platform/Emscripten.cmake")
  message(FATAL_ERROR "Emscripten not found: em-config EMSCRIPTEN_ROOT gave '${emscriptenRoot}'")
endif()
include("${emscriptenRoot}/cmake/Modules/Platform/Emscripten.cmake")

# Test programs built here run under Node. Node 18 would fetch the .wasm by
# its file path, and fail, unless its fetch is off; Node 20 takes the same
# option.
set(CMAKE_CROSSCOMPILING_EMULATOR node --no-experimental-fetch)
