# Shared by the scripts and the program's tests: package installation, a
# private X server and headless sway, and configuring and building. Sourced,
# not run.

# The packages that building the program needs, and what it needs to run on
# a Wayland compositor: Mesa's EGL, and the plugin that draws libdecor's
# decorations, which libdecor loads at run time and only recommends. The
# protocols' descriptions (wayland-protocols) serve the native and the arm64
# build alike.
BUILD_PACKAGES="build-essential cmake pkg-config libgl-dev libx11-dev libgl1-mesa-dri libglx-mesa0
  libegl-dev libegl-mesa0 libwayland-dev wayland-protocols libxkbcommon-dev libdecor-0-dev
  libdecor-0-plugin-1-cairo"
# What the tests need on top: GoogleTest, an X server with software OpenGL,
# X tools to look at and drive the window, the XScreenSaver daemon that hosts
# the display mode, a nested X server for several monitors (Xephyr), two
# Wayland compositors with tools
# to read sway's tree, take pictures and type keys, Wine and the Windows
# cross-compiler, what cpack's Debian packaging runs (file, for
# dpkg-shlibdeps), what its Windows installer is made with (nsis), the
# checkers of the Debian package and the AppStream metadata, and git, which
# the reproducibility check clones the commit with.
TEST_PACKAGES="libgtest-dev googletest libbenchmark-dev xvfb xauth x11-utils xdotool imagemagick xscreensaver
  xserver-xephyr sway weston grim wtype jq xwayland x11-xserver-utils
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

# Runs a command every 50 ms until it succeeds, telling that a server started
# as process PID is ready: wait_started TRIES PID LOG NAME COMMAND...
# If the server ends or the tries run out first, ends it, prints its log and
# says so, and returns 1.
wait_started() {
    local limit=$1 pid=$2 log=$3 name=$4 tries=0
    shift 4
    until "$@"; do
        tries=$((tries + 1))
        if [ $tries -gt "$limit" ] || ! kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
            cat "$log" >&2
            echo "$name did not start" >&2
            return 1
        fi
        sleep 0.05
    done
}

# Starts Xvfb on a display it picks itself, waits until it listens, sets
# XVFB_PID and exports DISPLAY; stop_xvfb ends it. The server tries display
# numbers until it can listen on one, so a server it cannot see (one in
# another root or container, which shares the abstract socket names but not
# /tmp) does not stop it. It does not reset when its last client goes, so
# one client after another finds the same server. Its messages go to
# FOLDER/xvfb.log (build/ by default); further arguments go to the server:
#   start_xvfb [FOLDER [SERVER ARGUMENT...]]
start_xvfb() {
    local folder=${1:-build}
    shift $(($# > 0 ? 1 : 0))
    mkdir -p "$folder"
    rm -f "$folder/xvfb.display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset "$@" 3>"$folder/xvfb.display" \
        >"$folder/xvfb.log" 2>&1 &
    XVFB_PID=$!
    wait_started 600 "$XVFB_PID" "$folder/xvfb.log" Xvfb test -s "$folder/xvfb.display" || return 1
    export DISPLAY=":$(head -n 1 "$folder/xvfb.display")"
}

stop_xvfb() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    fi
}

# Starts a headless sway, software-rendered, with one output, HEADLESS-1, of
# 1280x1024 and XWayland enabled or not, in a runtime folder of its own,
# SWAY_DIR, which is also its home; waits until the output has its size and
# sets SWAY_PID and SWAY_SOCKET (its IPC socket); stop_sway ends it. Its
# Wayland socket is SWAY_DIR/wayland-1. sway refuses to run as root: as root
# it runs as nobody, in a folder handed to nobody, whose sockets root reaches
# all the same. Further arguments are lines added to its configuration.
#   start_sway_headless enable|disable LOG [CONFIGURATION LINE...]
start_sway_headless() {
    local xwayland=$1 log=$2
    shift 2
    SWAY_DIR=$(mktemp -d)
    SWAY_SOCKET=""
    printf '%s\n' "xwayland $xwayland" "output HEADLESS-1 resolution 1280x1024" "$@" >"$SWAY_DIR/config"
    local as_user=()
    if [ "$(id -u)" -eq 0 ]; then
        chown 65534:65534 "$SWAY_DIR"
        as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    fi
    "${as_user[@]}" env -i XDG_RUNTIME_DIR="$SWAY_DIR" HOME="$SWAY_DIR" WLR_BACKENDS=headless \
        WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$SWAY_DIR/config" >"$log" 2>&1 &
    SWAY_PID=$!
    wait_started 600 "$SWAY_PID" "$log" sway sway_ready || { stop_sway; return 1; }
}

# sway is ready once its output has the configured size.
sway_ready() {
    SWAY_SOCKET=$(ls "$SWAY_DIR"/sway-ipc.*.sock 2>/dev/null | head -n 1)
    [ -n "$SWAY_SOCKET" ] && swaymsg -s "$SWAY_SOCKET" -t get_outputs 2>/dev/null |
        jq -e '.[] | select(.name == "HEADLESS-1" and .rect.width == 1280)' >/dev/null
}

stop_sway() {
    if [ -n "${SWAY_PID:-}" ]; then
        kill "$SWAY_PID" 2>/dev/null || true
        wait "$SWAY_PID" 2>/dev/null || true
        SWAY_PID=""
    fi
    if [ -n "${SWAY_DIR:-}" ]; then
        rm -rf "$SWAY_DIR"
        SWAY_DIR=""
    fi
}

# Configures FOLDER for an optimised build with debug information, with the
# given CMake options, unless it is configured already, and then builds the
# named targets there, quietly:
#   build_targets FOLDER [CMAKE_OPTION...] -- TARGET...
build_targets() {
    local folder=$1 options=()
    shift
    while [ "$1" != -- ]; do
        options+=("$1")
        shift
    done
    shift
    if [ ! -f "$folder/CMakeCache.txt" ]; then
        cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
    fi
    cmake --build "$folder" -j2 --target "$@" >/dev/null
}

# The arm64 cross build: the cross compiler and, through multiarch, the
# arm64 builds of the libraries the program links (ensure_arm64_architecture
# first). Its tests add qemu's user-mode emulator and the arm64 builds of
# what they link and load: GoogleTest, Mesa's drivers, libdecor's plugin.
ARM64_BUILD_PACKAGES="crossbuild-essential-arm64 libstdc++6:arm64 libgl-dev:arm64 libx11-dev:arm64
  libegl-dev:arm64 libwayland-dev:arm64 libxkbcommon-dev:arm64 libdecor-0-dev:arm64"
ARM64_TEST_PACKAGES="qemu-user libgtest-dev:arm64
  libgl1-mesa-dri:arm64 libglx-mesa0:arm64 libegl-mesa0:arm64 libdecor-0-plugin-1-cairo:arm64"

# The browser build: Emscripten, Node to run its test programs (and its own
# JavaScript tools) and rsvg-convert, which draws the page's icons; and the
# headless Chromium the page's tests run in.
WEB_BUILD_PACKAGES="emscripten nodejs librsvg2-bin"
WEB_PACKAGES="$WEB_BUILD_PACKAGES chromium-headless-shell"
# The browser tests' own: the two browsers the page is tested in.
WEB_TEST_PACKAGES="chromium-headless-shell firefox-esr"
# The browsers' driver (scripts/browser), installed from its lockfile by
# npm, which comes with a Node from elsewhere and is Debian's otherwise.
install_browser_driver() {
    command -v npm >/dev/null || ensure_packages npm
    (cd "$(dirname "${BASH_SOURCE[0]}")/browser" && npm ci --no-audit --no-fund --loglevel=error)
}

# Emscripten's JavaScript optimizer loads acorn from Debian's node-acorn in
# /usr/share/nodejs, where Debian's Node looks and a Node from elsewhere
# does not unless told.
use_debian_node_modules() {
    export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
}

# Lets dpkg install arm64 packages beside the machine's own; docs/arm64.md
# says how to undo it. The package lists are then updated by
# ensure_packages, since the arm64 packages are missing.
ensure_arm64_architecture() {
    dpkg --print-foreign-architectures | grep -qx arm64 && return 0
    echo "adding the arm64 architecture to dpkg"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo dpkg --add-architecture arm64
}
