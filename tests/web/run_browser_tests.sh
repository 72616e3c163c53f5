#!/usr/bin/env bash
# The page in headless Chromium and in Firefox ESR (on Xvfb, where it finds
# Mesa's OpenGL), driven by scripts/browser (puppeteer-core, installed here
# by npm ci from its lockfile), against a static server on 127.0.0.1,
# beside the native program's picture from the same seeds on the same Xvfb:
#   tests/web/run_browser_tests.sh BUILD_WEB_FOLDER [NATIVE_BUILD_FOLDER]
# BUILD_WEB_FOLDER holds web/ and web-scripted/; the native picture program
# is built in NATIVE_BUILD_FOLDER (build/ by default). DRIFTON_ENGINES
# ("chromium firefox" by default) picks the browsers. Exits non-zero on a
# failure.
set -euo pipefail
web=$(cd "$1" && pwd)
cd "$(dirname "$0")/../.."
. scripts/common.sh
native=$(mkdir -p "${2:-build}" && cd "${2:-build}" && pwd)

ensure_packages nodejs $WEB_TEST_PACKAGES xvfb xauth
install_browser_driver
build_targets "$native" -- web_native_picture
trap stop_xvfb EXIT
# Large enough for Firefox's window at device pixel ratio 3.
start_xvfb "$native/tests/web" -screen 0 2560x2600x24
DRIFTON_WEB=$web DRIFTON_NATIVE_PICTURE=$native/tests/web/web_native_picture \
    node --test --test-concurrency=1 tests/web/browser_test.mjs
