// Writes wnl.dat: page.html with the lunar library and our script inlined,
// one self-contained file.  node build-wnl.mjs <output> [node_modules folder]
import { readFileSync, writeFileSync, renameSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const output = process.argv[2];
if (!output) {
  console.error('usage: node build-wnl.mjs <output>');
  process.exit(2);
}
const modules = process.argv[3] || join(here, 'node_modules');
const lunar = readFileSync(join(modules, 'lunar-javascript', 'lunar.js'), 'utf8');
const script = readFileSync(join(here, 'calendar.js'), 'utf8');
const page = readFileSync(join(here, 'page.html'), 'utf8');
// A "</script" inside a script would end it early.
const safe = (text) => text.replace(/<\/script/gi, '<\\/script');
const html = page.replace('/*LUNAR*/', () => safe(lunar)).replace('/*CALENDAR*/', () => safe(script));
writeFileSync(output + '.part', html);
renameSync(output + '.part', output);
