// The page's server: isolation headers and types on every answer, no way
// out of the served folder, no answer for another site's name, and no
// file left open by a download the browser gave up.
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { startServer } from '../../../tools/web/serve.mjs';

let root;
let server;
let port;

// A raw GET: the path goes out exactly as written (fetch would tidy "..").
function get(requestPath, headers = {}, at = port) {
  return new Promise((resolve, reject) => {
    http
      .get({ host: '127.0.0.1', port: at, path: requestPath, headers }, (response) => {
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
  fs.symlinkSync('index.html', path.join(root, 'alias.html'));
  fs.symlinkSync(path.join(parent, 'secret.txt'), path.join(root, 'out.txt'));
  fs.symlinkSync('..', path.join(root, 'sub', 'up'));
  fs.symlinkSync('/etc', path.join(root, 'etc'));
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

// A link that leads out of the folder is answered as a file that is not
// there (404, as a link that leads nowhere): what is served is the folder's
// real contents, and a link's target outside them is not among them. A
// link that stays inside is followed.
test('a link out of the folder is not followed', async () => {
  for (const requestPath of ['/out.txt', '/sub/up/secret.txt', '/etc/passwd']) {
    const answer = await get(requestPath);
    assert.equal(answer.status, 404, requestPath);
    assert.doesNotMatch(answer.body.toString(), /outside|root:/, requestPath);
  }
  assert.equal((await get('/alias.html')).body.toString(), '<p>kaze</p>');
});

// A page of another site whose name was made to point here (DNS
// rebinding) sends its own name as the host: 421, the server is not that
// site's. The machine's own names, with the port, are answered.
test('only the machine\'s own names are answered', async () => {
  const strangers = ['evil.example', `evil.example:${port}`, '127.0.0.1', `127.0.0.1:${port + 1}`, `localhost.evil:${port}`];
  for (const host of strangers) {
    assert.equal((await get('/', { Host: host })).status, 421, host);
  }
  for (const host of [`127.0.0.1:${port}`, `localhost:${port}`, `LocalHost:${port}`, `[::1]:${port}`]) {
    assert.equal((await get('/', { Host: host })).status, 200, host);
  }
});

// The server in a child that may hold 64 descriptors: downloads given up
// in the middle of the body (the client's socket destroyed at the first
// bytes) must each close their file, or the later requests find no
// descriptor left and get an empty reply.
test('downloads given up in the middle leave no file open', async () => {
  const big = path.join(root, 'big.data');
  fs.writeFileSync(big, Buffer.alloc(16 << 20, 7));  // more than the sockets buffer
  const serve = fileURLToPath(new URL('../../../tools/web/serve.mjs', import.meta.url));
  const child = spawn('sh', ['-c', 'ulimit -n 64 && exec "$0" "$1" "$2" 0', process.execPath, serve, root], {
    stdio: ['ignore', 'pipe', 'inherit'],
  });
  try {
    const childPort = await new Promise((resolve, reject) => {
      child.stdout.on('data', (text) => {
        const found = /127\.0\.0\.1:(\d+)/.exec(String(text));
        if (found) resolve(Number(found[1]));
      });
      child.on('exit', (code) => reject(new Error(`serve.mjs ended with ${code}`)));
    });
    for (let i = 0; i < 80; ++i) {
      await new Promise((resolve) => {
        const request = http.get({ host: '127.0.0.1', port: childPort, path: '/big.data' }, (response) => {
          response.once('data', () => request.destroy());
        });
        request.on('error', () => {});
        request.on('close', resolve);
      });
    }
    // The files of the last few may close a moment later: ask until a whole
    // answer comes, for a generous while.
    let answer;
    for (const deadline = Date.now() + 30000; Date.now() < deadline; ) {
      answer = await get('/big.data', {}, childPort).catch((error) => ({ error }));
      if (answer.status === 200 && answer.body.length === 16 << 20) break;
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
    assert.equal(answer.status, 200, String(answer.error));
    assert.equal(answer.body.length, 16 << 20);
  } finally {
    child.kill();
    fs.rmSync(big);
  }
});
