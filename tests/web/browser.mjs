// Headless Chromium for the page tests and the benchmark: the machine's own browser, driven by puppeteer-core.
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

const here = path.dirname(fileURLToPath(import.meta.url));
export const root = path.resolve(here, '../..');
export const dist = process.env.AFCP_DIST ? path.resolve(process.env.AFCP_DIST) : path.join(root, 'dist');
export const modules = ['korstpanel', 'brevanepanel'];

export function pagePath(module) {
  return path.join(dist, 'web', module + '.html');
}

export async function launch() {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--allow-file-access-from-files'],
  });
}

// A page of the module, opened from the file system once its first frame is drawn: paused or live, flying in a
// situation (the page's own choice, cruise, unless `situation` names one) or `frozen` on the bench; `scenario`, a
// lesson's link value (?scenario=), plays it.
export async function open(browser, module, { paused = true, frozen = false, situation = null, width = 1600, height = 1300,
  touch = false, scenario = null } = {}) {
  const page = await browser.newPage();
  await page.setViewport({ width, height, hasTouch: touch });
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  page.errors = errors;
  const query = [paused && 'paused', frozen && 'frozen', situation && 'situation=' + situation,
    scenario && 'scenario=' + scenario].filter(Boolean);
  const url = pathToFileURL(pagePath(module)).href + (query.length ? '?' + query.join('&') : '');
  await page.goto(url);
  await page.waitForFunction(() => window.panel && window.panel.ready === true, { timeout: 20000 });
  return page;
}

// What each attempt says when run in the page: its Error's message, or null where it was taken. `attempts` is a
// function the page runs to get {name: () => ...}.
export function refusals(page, attempts) {
  return page.evaluate((source) => {
    const tries = new Function('return (' + source + ')();')();
    const out = {};
    for (const [name, attempt] of Object.entries(tries)) {
      try {
        attempt();
        out[name] = null;
      } catch (e) {
        out[name] = e instanceof Error ? e.message : 'not an Error';
      }
    }
    return out;
  }, attempts.toString());
}
