// The page's server: isolation headers and types on every answer, and no
// way out of the served folder.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { startServer } from '../../tools/web/serve.mjs';

let root;
let server;
let port;

// A raw GET: the path goes out exactly as written (fetch would tidy "..").
function get(requestPath) {
  return new Promise((resolve, reject) => {
    http
      .get({ host: '127.0.0.1', port, path: requestPath }, (response) => {
        const chunks = [];
        response.on('data', (chunk) => chunks.push(chunk));
        response.on('end', () => resolve({ status: response.statusCode, headers: response.headers, body: Buffer.concat(chunks) }));
      })
      .on('error', reject);
  });
}

before(async () => {
  const parent = fs.mkdtempSync(path.join(os.tmpdir(), 'kaze-serve-'));
  root = path.join(parent, 'page');
  fs.mkdirSync(path.join(root, 'sub'), { recursive: true });
  fs.writeFileSync(path.join(root, 'index.html'), '<p>kaze</p>');
  fs.writeFileSync(path.join(root, 'kaze.wasm'), Buffer.from([0, 0x61, 0x73, 0x6d]));
  fs.writeFileSync(path.join(root, 'sub', 'a b.data'), 'data');
  fs.writeFileSync(path.join(parent, 'secret.txt'), 'outside');
  ({ server } = await startServer(root, 0));
  port = server.address().port;
});

after(() => {
  server?.close();
  if (root) fs.rmSync(path.dirname(root), { recursive: true, force: true });
});

test('files come with their type and the isolation headers', async () => {
  for (const [requestPath, type, body] of [
    ['/', 'text/html; charset=utf-8', '<p>kaze</p>'],
    ['/kaze.wasm', 'application/wasm', '\0asm'],
    ['/sub/a%20b.data?v=1', 'application/octet-stream', 'data'],
  ]) {
    const answer = await get(requestPath);
    assert.equal(answer.status, 200, requestPath);
    assert.equal(answer.headers['content-type'], type, requestPath);
    assert.equal(answer.body.toString('latin1'), body, requestPath);
    assert.equal(answer.headers['cross-origin-opener-policy'], 'same-origin');
    assert.equal(answer.headers['cross-origin-embedder-policy'], 'require-corp');
    assert.equal(answer.headers['cache-control'], 'no-cache');
  }
});

test('nothing outside the folder or missing is served', async () => {
  for (const requestPath of ['/../secret.txt', '/sub/../../secret.txt', '/%2e%2e/secret.txt', '/..%2fsecret.txt', '/%00']) {
    const answer = await get(requestPath);
    assert.equal(answer.status, 403, requestPath);
    assert.equal(answer.headers['cross-origin-embedder-policy'], 'require-corp', requestPath);
  }
  for (const requestPath of ['/missing.js', '/sub', '/sub/']) {
    assert.equal((await get(requestPath)).status, 404, requestPath);
  }
});
