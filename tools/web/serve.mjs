#!/usr/bin/env node
// Serves one folder over HTTP on 127.0.0.1, as kaze's page needs it: the
// page shares memory between threads (SharedArrayBuffer), which a browser
// allows only to a cross-origin isolated page, so every answer carries the
// two isolation headers. Nothing outside the folder is ever read, not even
// through a symbolic link, and only requests for this machine's own names
// are answered, so that a web site whose name is made to point here (DNS
// rebinding) cannot read the folder through the player's browser.
//   node tools/web/serve.mjs DIR [PORT]     PORT 8640 by default, 0 for any free one
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { pipeline } from 'node:stream';
import { pathToFileURL } from 'node:url';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.css': 'text/css; charset=utf-8',
  '.png': 'image/png',
  '.json': 'application/json',
};

const ISOLATION = {
  'Cross-Origin-Opener-Policy': 'same-origin',
  'Cross-Origin-Embedder-Policy': 'require-corp',
  'Cross-Origin-Resource-Policy': 'same-origin',
  'Cache-Control': 'no-cache',
};

// The file a request path names inside root, or null when the path is
// malformed or would leave root ("..", encoded or not, or a NUL).
export function fileInside(root, requestPath) {
  let name;
  try {
    name = decodeURIComponent(requestPath.split(/[?#]/)[0]);
  } catch {
    return null;
  }
  if (name.includes('\0') || name.split(/[\\/]/).includes('..')) return null;
  if (name.endsWith('/')) name += 'index.html';
  const base = path.resolve(root);
  const file = path.resolve(base, '.' + path.posix.normalize('/' + name));
  return file.startsWith(base + path.sep) ? file : null;
}

function answer(response, status, text) {
  response.writeHead(status, { ...ISOLATION, 'Content-Type': 'text/plain; charset=utf-8' });
  response.end(`${text}\n`);
}

// The names the page may be asked for by, each with the port the request
// came in on; the Host header is compared without letter case.
function isOwnHost(request) {
  const host = (request.headers.host || '').toLowerCase();
  const port = request.socket.localPort;
  return ['127.0.0.1', 'localhost', '[::1]'].some((name) => host === `${name}:${port}`);
}

// Opens the file at its real location when that is inside root (whose own
// real location counts, so a root given through a link works). A link that
// leads out of the folder, or nowhere, is answered as a file that is not
// there: the folder's real contents are all that is served. Resolves to
// { handle, size } or null.
async function openInside(root, file) {
  try {
    const [realRoot, realFile] = await Promise.all([fs.promises.realpath(root), fs.promises.realpath(file)]);
    if (!realFile.startsWith(realRoot + path.sep)) return null;
    const handle = await fs.promises.open(realFile, fs.constants.O_RDONLY | fs.constants.O_NOFOLLOW);
    const stat = await handle.stat().catch(() => null);
    if (stat?.isFile()) return { handle, size: stat.size };
    await handle.close();
  } catch {
    // missing, unreadable or a link that leads nowhere: not found
  }
  return null;
}

async function handle(root, request, response) {
  if (!isOwnHost(request)) return answer(response, 421, 'this server answers only for 127.0.0.1, localhost and [::1]');
  if (request.method !== 'GET' && request.method !== 'HEAD') return answer(response, 405, 'method not allowed');
  const file = fileInside(root, request.url || '/');
  if (!file) return answer(response, 403, 'forbidden');
  const opened = await openInside(root, file);
  if (!opened) return answer(response, 404, 'not found');
  response.writeHead(200, {
    ...ISOLATION,
    'Content-Type': TYPES[path.extname(file).toLowerCase()] || 'application/octet-stream',
    'Content-Length': opened.size,
  });
  if (request.method === 'HEAD') {
    await opened.handle.close();
    return response.end();
  }
  // pipeline closes the file however the answer ends, also when the
  // browser goes away in the middle of it (a reload, a closed tab).
  pipeline(opened.handle.createReadStream(), response, () => {});
}

// Starts serving root; resolves to { server, url } once it listens.
export function startServer(root, port = 0) {
  const server = http.createServer((request, response) => {
    handle(root, request, response).catch(() => response.destroy());
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => {
      server.off('error', reject);
      resolve({ server, url: `http://127.0.0.1:${server.address().port}/` });
    });
  });
}

async function main(args) {
  const [root, portText = '8640'] = args;
  const port = Number(portText);
  if (!root || !Number.isInteger(port) || port < 0 || port > 65535) {
    console.error('usage: serve.mjs DIR [PORT]');
    process.exit(2);
  }
  if (!fs.statSync(root, { throwIfNoEntry: false })?.isDirectory()) {
    console.error(`serve.mjs: no folder ${root}`);
    process.exit(2);
  }
  try {
    const { url } = await startServer(root, port);
    console.log(`serving ${path.resolve(root)} at ${url}`);
  } catch (error) {
    console.error(`serve.mjs: cannot listen on 127.0.0.1:${port}: ${error.message}`);
    process.exit(1);
  }
}

if (process.argv[1] && import.meta.url === pathToFileURL(path.resolve(process.argv[1])).href) {
  main(process.argv.slice(2));
}
