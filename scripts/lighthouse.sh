#!/usr/bin/env bash
# Lighthouse's audit of the web page that scripts/package.sh writes, served on
# the loopback and opened in Debian's Chromium as a desktop and as a phone: it
# prints the four scores of each and fails below 100 in accessibility, best
# practices or SEO, naming the audits that fell short. Lighthouse comes from
# the npm registry, at the version that scripts/lighthouse/package-lock.json pins.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh lighthouse
shopt -s nullglob
pages=(dist/wibble-*.html)
[ ${#pages[@]} -gt 0 ] || { scripts/package.sh web >/dev/null && pages=(dist/wibble-*.html); }
page=$(basename "${pages[0]}")
npm ci --prefix scripts/lighthouse --no-audit --no-fund --silent

work=$(mktemp -d)
# The server says its port, which the system chose, once it listens.
mkfifo "$work/listening"
python3 -u -m http.server --bind 127.0.0.1 --directory dist 0 >"$work/listening" 2>/dev/null &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT
read -r line <"$work/listening"
port=$(grep -o 'port [0-9]*' <<<"$line" | cut -d' ' -f2)

status=0
for preset in desktop mobile; do
    options=()
    [ "$preset" = mobile ] || options=(--preset="$preset")
    # Software WebGL, as the page's tests have it.
    CHROME_PATH=/usr/bin/chromium scripts/lighthouse/node_modules/.bin/lighthouse \
        "http://127.0.0.1:$port/$page" "${options[@]}" --quiet \
        --chrome-flags="--headless=new --no-sandbox --use-angle=swiftshader --enable-unsafe-swiftshader" \
        --only-categories=performance,accessibility,best-practices,seo \
        --output=json --output-path="$work/$preset.json"
    node - "$work/$preset.json" "$preset" <<'SCRIPT' || status=1
const [report, preset] = process.argv.slice(2);
const {categories, audits} = require(report);
const scores = Object.values(categories).map(c => `${c.title} ${Math.round(c.score * 100)}`);
console.log(`lighthouse: ${preset}: ${scores.join(', ')}`);
let short = false;
for (const id of ['accessibility', 'best-practices', 'seo']) {
    for (const {id: audit} of categories[id].auditRefs) {
        const {score, title} = audits[audit];
        if (score !== null && score < 1) {
            console.error(`lighthouse: ${preset}: ${categories[id].title}: ${title}`);
            short = true;
        }
    }
}
process.exit(short ? 1 : 0);
SCRIPT
done
exit "$status"
