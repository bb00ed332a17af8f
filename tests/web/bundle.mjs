// The page's ES modules bundled for a bare test page, as the build bundles them for the trainer: `exposed` maps a
// global name to a module of web/page/ whose exports it holds (window.PfdInstrument.create, ...).
import { createRequire } from 'node:module';
import path from 'node:path';

import { root } from './browser.mjs';

const pageDir = path.join(root, 'web', 'page');
const esbuild = createRequire(path.join(root, 'web', 'package.json'))('esbuild');

export function bundle(exposed) {
  const entry = Object.entries(exposed).map(([name, file], i) =>
    `import * as m${i} from ${JSON.stringify('./' + file)}; window.${name} = m${i};`).join('\n');
  const out = esbuild.buildSync({
    stdin: { contents: entry, resolveDir: pageDir, sourcefile: 'test-entry.js' },
    bundle: true, format: 'iife', target: 'es2022', charset: 'utf8', write: false, logLevel: 'silent',
  });
  return out.outputFiles[0].text.replaceAll('</script', '<\\/script');
}
