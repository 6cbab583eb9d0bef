#!/usr/bin/env bash
# The pictures of the web page that the README shows, taken in Debian's
# Chromium with software WebGL: as a desktop shows it (1280 x 900) and as a
# phone 360 pixels wide shows it (at three device pixels to the CSS pixel),
# into docs/web-page-desktop.png and docs/web-page-phone.png. Builds the page
# first where dist/ has none.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh lighthouse
page=$(scripts/web-page.sh)

# shoot NAME WIDTH HEIGHT SCALE
shoot() {
    local profile
    profile=$(mktemp -d)
    chromium --headless=new --no-sandbox --use-angle=swiftshader --enable-unsafe-swiftshader \
        --no-first-run --disable-background-networking --disable-component-update \
        --user-data-dir="$profile" --hide-scrollbars --virtual-time-budget=10000 \
        --window-size="$2,$3" --force-device-scale-factor="$4" \
        --screenshot="$PWD/docs/web-page-$1.png" "file://${PWD// /%20}/$page" 2>/dev/null
    rm -rf "$profile"
    echo "web-screenshots: docs/web-page-$1.png"
}
shoot desktop 1280 900 1
shoot phone 360 740 3
