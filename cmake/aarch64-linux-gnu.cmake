# Cross-compiles the Linux program for 64-bit ARM with Debian's cross
# toolchain, against the arm64 libraries that multiarch puts beside the
# machine's own (see docs/arm64.md):
#   cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

# pkg-config reads the arm64 libraries' files only, not the machine's own.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)

# Test programs built here run under the emulator. Its root is /, where the
# multiarch C library keeps its loader: the cross toolchain's own loader
# (/usr/aarch64-linux-gnu) belongs to another build of the C library, and
# with it the program never opens its window and ignores SIGTERM.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /)
