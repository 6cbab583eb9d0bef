// Serves a folder on the loopback as a static web host does: each file with
// its type, compressed with gzip for a browser that accepts it, with a
// validator (ETag) and a cache lifetime (GitHub Pages' ten minutes). It
// prints "port N" once it listens on the port the system chose.
//
//   node serve.mjs FOLDER
import {createServer} from 'node:http';
import {createHash} from 'node:crypto';
import {readFile} from 'node:fs/promises';
import {extname, join, normalize} from 'node:path';
import {gzipSync} from 'node:zlib';

const folder = process.argv[2];
const types = {'.html': 'text/html; charset=utf-8', '.png': 'image/png', '.txt': 'text/plain'};

createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://host').pathname));
    let body;
    try {
        body = await readFile(join(folder, path));
    } catch {
        response.writeHead(404).end();
        return;
    }
    const headers = {
        'Content-Type': types[extname(path)] ?? 'application/octet-stream',
        'Cache-Control': 'max-age=600',
        'ETag': `"${createHash('sha256').update(body).digest('hex').slice(0, 16)}"`,
        'Vary': 'Accept-Encoding',
    };
    if (request.headers['if-none-match'] === headers.ETag) {
        response.writeHead(304, headers).end();
        return;
    }
    if (/\bgzip\b/.test(request.headers['accept-encoding'] ?? '')) {
        body = gzipSync(body, {level: 9});
        headers['Content-Encoding'] = 'gzip';
    }
    response.writeHead(200, {...headers, 'Content-Length': body.length}).end(body);
}).listen(0, '127.0.0.1', function () {
    console.log(`port ${this.address().port}`);
});
