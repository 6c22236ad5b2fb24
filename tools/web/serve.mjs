#!/usr/bin/env node
// Serves one folder over HTTP on 127.0.0.1, as kaze's page needs it: the
// page shares memory between threads (SharedArrayBuffer), which a browser
// allows only to a cross-origin isolated page, so every answer carries the
// two isolation headers. Nothing outside the folder is ever read.
//   node tools/web/serve.mjs DIR [PORT]     PORT 8640 by default, 0 for any free one
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
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

function handle(root, request, response) {
  if (request.method !== 'GET' && request.method !== 'HEAD') return answer(response, 405, 'method not allowed');
  const file = fileInside(root, request.url || '/');
  if (!file) return answer(response, 403, 'forbidden');
  fs.stat(file, (error, stat) => {
    if (error || !stat.isFile()) return answer(response, 404, 'not found');
    response.writeHead(200, {
      ...ISOLATION,
      'Content-Type': TYPES[path.extname(file).toLowerCase()] || 'application/octet-stream',
      'Content-Length': stat.size,
    });
    if (request.method === 'HEAD') return response.end();
    const stream = fs.createReadStream(file);
    stream.on('error', () => response.destroy());
    stream.pipe(response);
  });
}

// Starts serving root; resolves to { server, url } once it listens.
export function startServer(root, port = 0) {
  const server = http.createServer((request, response) => handle(root, request, response));
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
