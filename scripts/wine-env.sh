# Wine for the Windows build's programs. Sourced, not run, with the build
# folder as its argument:
#   . scripts/wine-env.sh build-windows
# A private prefix under that folder; no debug output; the .NET and HTML
# engines switched off, so that no installer dialog asks for them and blocks
# the run. Only the 64-bit half of Wine is needed.
wine_build_dir=$(cd "$1" && pwd)
export WINEPREFIX="$wine_build_dir/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Boots the prefix unless an earlier run finished doing so (a prefix left
# half-made by an interrupted boot is made afresh). Needs DISPLAY.
wine_boot() {
    if [ ! -f "$WINEPREFIX/.drifton-booted" ]; then
        rm -rf "$WINEPREFIX"
        local start=$SECONDS
        if ! wineboot -i </dev/null >"$wine_build_dir/wineboot.log" 2>&1 || ! wineserver -w; then
            cat "$wine_build_dir/wineboot.log" >&2
            echo "cannot boot the Wine prefix $WINEPREFIX" >&2
            return 1
        fi
        touch "$WINEPREFIX/.drifton-booted"
        echo "booted the Wine prefix $WINEPREFIX in $((SECONDS - start)) s"
    fi
}

# Boots the prefix, then keeps its Wine server and services running until
# wine_stop, so that each program starts in a fraction of a second instead of
# bringing them up anew. Needs DISPLAY.
wine_start() {
    wine_boot || return 1
    # Says no (exit code 2) when this prefix's server is running already.
    wineserver -p 2>/dev/null || true
    # The first program brings up the prefix's services, which then stay with
    # the server; started here they hold none of the caller's output pipes
    # open (a test runner would wait for those to close).
    wine cmd /c exit </dev/null >/dev/null 2>&1
}

# Ends this prefix's Wine server and every program still running in it.
wine_stop() {
    wineserver -k 2>/dev/null || true
}
