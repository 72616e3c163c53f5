# Shared by the scripts: package installation and a private X server.
# Sourced, not run.

# The packages that building the program needs, and what it needs to run on
# a Wayland compositor: Mesa's EGL, and the plugin that draws libdecor's
# decorations, which libdecor loads at run time and only recommends.
BUILD_PACKAGES="build-essential cmake pkg-config libgl-dev libx11-dev libgl1-mesa-dri libglx-mesa0
  libegl-dev libegl-mesa0 libwayland-dev libxkbcommon-dev libdecor-0-dev libdecor-0-plugin-1-cairo"
# What the tests need on top: GoogleTest, an X server with software OpenGL,
# X tools to look at and drive the window, the XScreenSaver daemon that hosts
# the display mode, two Wayland compositors with tools
# to read sway's tree, take pictures and type keys, Wine and the Windows
# cross-compiler, what cpack's Debian packaging runs (file, for
# dpkg-shlibdeps), what its Windows installer is made with (nsis), the
# checkers of the Debian package and the AppStream metadata, and git, which
# the reproducibility check clones the commit with.
TEST_PACKAGES="libgtest-dev googletest libbenchmark-dev xvfb xauth x11-utils xdotool imagemagick xscreensaver
  sway weston grim wtype jq xwayland x11-xserver-utils
  desktop-file-utils g++-mingw-w64-x86-64 wine wine64 procps file nsis lintian appstream git"

# Installs the named packages that are missing, updating the package lists
# first. Needs root once something is missing.
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Starts Xvfb on a display it picks itself and exports DISPLAY; stop_xvfb
# ends it. The server tries display numbers until it can listen on one, so
# a server it cannot see (one in another root or container, which shares the
# abstract socket names but not /tmp) does not stop it. Its own messages go
# to build/xvfb.log.
start_xvfb() {
    mkdir -p build
    rm -f build/xvfb.display
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>build/xvfb.display >build/xvfb.log 2>&1 &
    XVFB_PID=$!
    local tries=0
    until [ -s build/xvfb.display ]; do
        tries=$((tries + 1))
        if [ $tries -gt 600 ] || ! kill -0 "$XVFB_PID" 2>/dev/null; then
            echo "cannot start Xvfb, see build/xvfb.log" >&2
            return 1
        fi
        sleep 0.1
    done
    export DISPLAY=":$(head -n 1 build/xvfb.display)"
}

stop_xvfb() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    fi
}

# The arm64 cross build: the cross compiler and, through multiarch, the
# arm64 builds of the libraries the program links (ensure_arm64_architecture
# first). Its tests add qemu's user-mode emulator and the arm64 builds of
# what they link and load: GoogleTest, Mesa's drivers, libdecor's plugin.
ARM64_BUILD_PACKAGES="crossbuild-essential-arm64 libstdc++6:arm64 libgl-dev:arm64 libx11-dev:arm64
  libegl-dev:arm64 libwayland-dev:arm64 libxkbcommon-dev:arm64 libdecor-0-dev:arm64"
ARM64_TEST_PACKAGES="qemu-user libgtest-dev:arm64
  libgl1-mesa-dri:arm64 libglx-mesa0:arm64 libegl-mesa0:arm64 libdecor-0-plugin-1-cairo:arm64"

# Lets dpkg install arm64 packages beside the machine's own; the README's
# arm64 section says how to undo it. The package lists are then updated by
# ensure_packages, since the arm64 packages are missing.
ensure_arm64_architecture() {
    dpkg --print-foreign-architectures | grep -qx arm64 && return 0
    echo "adding the arm64 architecture to dpkg"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo dpkg --add-architecture arm64
}
