#!/usr/bin/env bash
# Lighthouse's audit of the web page that scripts/package.sh writes, served on
# the loopback as a static host serves it (compressed, with cache headers;
# scripts/lighthouse/serve.mjs) and opened in Debian's Chromium, three times
# as a desktop and three times as a phone. It prints the four scores of each
# run and each score's median, and fails below 100 in accessibility, best
# practices or SEO in any run, naming the audits that fell short, or where a
# preset's median performance falls below its floor: the lowest that software
# WebGL (SwiftShader) holds every time here, where making the WebGL context
# alone takes a phone's simulated processor most of a second. Lighthouse comes
# from the npm registry, at the version scripts/lighthouse/package-lock.json pins.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh lighthouse
page=$(scripts/web-page.sh) || { echo "lighthouse: no web page to audit" >&2; exit 1; }
page=$(basename "$page")
npm ci --prefix scripts/lighthouse --no-audit --no-fund --loglevel=error ||
    { echo "lighthouse: npm could not install Lighthouse" >&2; exit 1; }
runs=3

work=$(mktemp -d)
# The server says its port, which the system chose, once it listens.
mkfifo "$work/listening"
node scripts/lighthouse/serve.mjs dist >"$work/listening" &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT
read -r _ port <"$work/listening"

for preset in desktop mobile; do
    options=()
    [ "$preset" = mobile ] || options=(--preset="$preset")
    for run in $(seq "$runs"); do
        # Software WebGL, as the page's tests have it.
        CHROME_PATH=/usr/bin/chromium scripts/lighthouse/node_modules/.bin/lighthouse \
            "http://127.0.0.1:$port/$page" "${options[@]}" --quiet \
            --chrome-flags="--headless=new --no-sandbox --use-angle=swiftshader --enable-unsafe-swiftshader" \
            --only-categories=performance,accessibility,best-practices,seo \
            --output=json --output-path="$work/$preset-$run.json"
    done
done
node - "$work" "$runs" <<'SCRIPT'
const [work, runs] = process.argv.slice(2);
const floors = {desktop: 80, mobile: 70};
const median = values => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
let short = false;
for (const preset of ['desktop', 'mobile']) {
    const reports = [];
    for (let run = 1; run <= Number(runs); ++run) {
        reports.push(require(`${work}/${preset}-${run}.json`));
    }
    const scores = {};
    reports.forEach((report, index) => {
        const {categories, audits} = report;
        const line = Object.values(categories).map(c => {
            (scores[c.title] ??= []).push(Math.round(c.score * 100));
            return `${c.title} ${Math.round(c.score * 100)}`;
        });
        const timings = ['first-contentful-paint', 'total-blocking-time', 'interactive']
            .map(id => `${audits[id].title} ${audits[id].displayValue}`);
        console.log(`lighthouse: ${preset} run ${index + 1}: ${line.join(', ')} (${timings.join(', ')})`);
        for (const id of ['accessibility', 'best-practices', 'seo']) {
            for (const {id: audit} of categories[id].auditRefs) {
                const {score, title} = audits[audit];
                if (score !== null && score < 1) {
                    console.error(`lighthouse: ${preset} run ${index + 1}: ${categories[id].title}: ${title}`);
                    short = true;
                }
            }
        }
    });
    const medians = Object.entries(scores).map(([title, values]) => `${title} ${median(values)}`);
    console.log(`lighthouse: ${preset} median: ${medians.join(', ')}`);
    if (median(scores.Performance) < floors[preset]) {
        console.error(`lighthouse: ${preset}: median performance below its floor, ${floors[preset]}`);
        short = true;
    }
}
process.exit(short ? 1 : 0);
SCRIPT
