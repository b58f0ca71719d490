// The page in a real browser (Debian's chromium, headless, its software renderer), driven as a
// student uses it: the form filled and run, a data file picked, keys pressed on the canvas. Its
// frames are compared with the desktop program's own pictures of the same sample (the native
// batch tool's --png, drawn by the window's view code through the system's GL).
//
//   node tests/web/page.test.mjs       (after `make web` and the native build)
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { createServer } from 'node:http';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, extname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const webBuild = resolve(root, process.env.ROBOSIM_WEB_BUILD ?? 'build-web');
const nativeBatch = resolve(root, process.env.ROBOSIM_BUILD ?? 'build', 'robosim-batch');
const examples = join(root, 'examples');

// The canvas is drawn by the page's own software GL, the picture by the system's GL (Mesa):
// both follow GL's rules for which pixels a shape covers, but where an edge passes within a
// rounding of a pixel centre they may decide it differently: some 20 pixels of a frame (0.003 %).
// A frame may differ in 0.02 % of its pixels (128) at most; a wrong shape, colour, word or
// sample differs in more.
const MAX_DIFFERING_SHARE = 0.0002;

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.css': 'text/css' };
let server;
let browser;
let page;
let work;

before(async () => {
  work = mkdtempSync(join(tmpdir(), 'robosim-page-'));
  // the page as any static web server gives it
  server = createServer((request, response) => {
    const name = new URL(request.url, 'http://localhost').pathname.replace(/^\/$/, '/index.html');
    try {
      const body = readFileSync(join(webBuild, name.replace(/\.\./g, '')));
      response.writeHead(200, { 'Content-Type': TYPES[extname(name)] ?? 'application/octet-stream' });
      response.end(body);
    } catch {
      response.writeHead(404);
      response.end();
    }
  });
  await new Promise((done) => server.listen(0, '127.0.0.1', done));
  browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    userDataDir: join(work, 'profile'),
    args: ['--no-sandbox', '--enable-unsafe-swiftshader', '--disable-gpu', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           '--disable-quic', '--window-size=1280,1024'],
  });
  page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 1024 });
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  await page.evaluate(() => window.robosim.ready);
});

after(async () => {
  await browser?.close();
  await new Promise((done) => (server ? server.close(done) : done()));
  rmSync(work, { recursive: true, force: true });
});

// runs action and waits until the canvas has shown a new frame
async function nextFrame(action) {
  const frames = await page.evaluate(() => window.robosim.frames);
  await action();
  await page.waitForFunction((n) => window.robosim.frames > n, {}, frames);
}

async function key(name) {
  await page.focus('#canvas');
  await nextFrame(() => page.keyboard.press(name));
}

async function sample() {
  return page.evaluate(() => window.robosim.sample);
}

// the native batch tool's PNG of args, run in folder
function nativePng(args, folder = work) {
  const out = join(work, `native-${Math.random().toString(36).slice(2)}.png`);
  execFileSync('xvfb-run', ['-n', '300', '-a', nativeBatch, ...args, '--png', out], { cwd: folder });
  return readFileSync(out).toString('base64');
}

// the share of the canvas's pixels that differ from the PNG's
async function differingShare(pngBase64) {
  return page.evaluate(async (png) => {
    const image = new Image();
    image.src = `data:image/png;base64,${png}`;
    await image.decode();
    const canvas = document.querySelector('#canvas');
    const scratch = document.createElement('canvas');
    scratch.width = canvas.width;
    scratch.height = canvas.height;
    const context = scratch.getContext('2d');
    context.drawImage(image, 0, 0);
    const want = context.getImageData(0, 0, canvas.width, canvas.height).data;
    const got = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let differing = 0;
    for (let i = 0; i < want.length; i += 4) {
      if (want[i] !== got[i] || want[i + 1] !== got[i + 1] || want[i + 2] !== got[i + 2]) {
        ++differing;
      }
    }
    return differing / (want.length / 4);
  }, pngBase64);
}

// the canvas is the native picture of args (run in folder), but for MAX_DIFFERING_SHARE
async function assertLikeNative(t, args, folder) {
  const share = await differingShare(nativePng(args, folder));
  t.diagnostic(`robosim-batch ${args.join(' ')}: ${(100 * share).toFixed(3)} % of pixels differ`);
  assert.ok(share <= MAX_DIFFERING_SHARE);
}

async function pickFile(path) {
  const input = await page.$('#load');
  await nextFrame(() => input.uploadFile(path));
}

async function runForm() {
  await nextFrame(() => page.click('#run'));
}

async function setInput(name, value) {
  await page.$eval(`input[name="${name}"]`, (input, v) => { input.value = v; }, value);
}

test('the first frame is the default run\'s last sample, as the batch tool draws it', async (t) => {
  await key('End');
  assert.equal(await sample(), 200);
  await assertLikeNative(t, []);
});

// (the SCARA robot's: the cylindrical robot's scales would also span the page's first run,
// which the batch tool has not made)
test('a data file picked, the form changed and run, keys pressed: the desktop\'s frames',
     async (t) => {
  await pickFile(join(examples, 'scara_trap.dat'));
  assert.match(await page.$eval('#panel', (p) => p.textContent), /scara_trap\.dat/);
  assert.equal(await page.$eval('select[name="robot_type"]', (s) => s.value), 'b');
  await setInput('fn1', '2.5');
  await runForm();
  assert.equal(await page.$eval('#refusal', (r) => r.textContent), '');
  await key('End');
  await assertLikeNative(t, ['scara_trap.dat', '--set', 'fn1=2.5'], examples);
  await key('0');
  assert.equal(await sample(), 0);
  await key('s');
  await key('s');
  await key('Backspace');
  assert.equal(await sample(), 1);
  await key('i');
  await assertLikeNative(t, ['scara_trap.dat', '--set', 'fn1=2.5', '--graph', 'i', '--sample', '1'],
                         examples);
  await key('t');
  await key('W');
  await key('h');  // gravity off: a new run
  await key('End');
  await assertLikeNative(
      t, ['scara_trap.dat', '--set', 'fn1=2.5', '--gravity', 'h', '--scale', String(1 / 0.9)],
      examples);
  // Space plays the run from its start at its pace; a key that shows a sample stops it
  await key(' ');
  await page.waitForFunction(() => window.robosim.sample > 3);
  await key('0');
  assert.equal(await sample(), 0);
});

test('a refused value shows the console\'s refusal and keeps every setting', async () => {
  const form = await page.evaluate(() => Module.ccall('robosim_form', 'string', [], []));
  await page.select('select[name="robot_type"]', 'a');
  await setInput('fn2', '7');
  await setInput('cyl.L', '-0.1');
  const frames = await page.evaluate(() => window.robosim.frames);
  await page.click('#run');
  await page.waitForFunction(() => document.querySelector('#refusal').textContent !== '');
  assert.equal(await page.$eval('#refusal', (r) => r.textContent.trim()),
               'L は0 より大きい数を入力してください');
  assert.ok(await page.$eval('input[name="cyl.L"]', (i) => i.classList.contains('refused')));
  // as typed in the form, and nothing of it applied or run
  assert.equal(await page.$eval('input[name="fn2"]', (i) => i.value), '7');
  assert.equal(await page.$eval('select[name="robot_type"]', (s) => s.value), 'a');
  assert.deepEqual(await page.evaluate(() => Module.ccall('robosim_form', 'string', [], [])), form);
  assert.equal(await page.evaluate(() => window.robosim.frames), frames);
});
