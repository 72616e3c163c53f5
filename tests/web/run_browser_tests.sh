#!/usr/bin/env bash
# The page in headless Chromium against a static server on 127.0.0.1, beside
# the native program's picture from the same seeds on an Xvfb of its own:
#   tests/web/run_browser_tests.sh BUILD_WEB_FOLDER [NATIVE_BUILD_FOLDER]
# BUILD_WEB_FOLDER holds web/ and web-scripted/; the native picture program
# is built in NATIVE_BUILD_FOLDER (build/ by default). Exits non-zero on a
# failure.
set -euo pipefail
web=$(cd "$1" && pwd)
cd "$(dirname "$0")/../.."
. scripts/common.sh
native=${2:-build}

ensure_packages chromium-headless-shell python3 xvfb xauth
build_targets "$native" -- web_native_picture
trap stop_xvfb EXIT
start_xvfb "$native/tests/web"
PYTHONPATH=scripts python3 -B tests/web/browser_test.py "$web" "$native/tests/web/web_native_picture"
