// Rewrites every page of a folder in place with posthtml and posthtml-obfuscate,
// the way a build step would, and prints the bytes read and the seconds taken.
const fs = require('fs');
const path = require('path');
const posthtml = require('posthtml');
const obfuscate = require('posthtml-obfuscate');

function pages(folder) {
  return fs.readdirSync(folder, {withFileTypes: true}).flatMap((entry) => {
    const full = path.join(folder, entry.name);
    if (entry.isDirectory()) return pages(full);
    return /\.(html?|xhtml)$/i.test(entry.name) ? [full] : [];
  }).sort();
}

async function main() {
  const start = process.hrtime.bigint();
  let bytes = 0;
  for (const file of pages(process.argv[2])) {
    const html = fs.readFileSync(file, 'utf8');
    bytes += Buffer.byteLength(html);
    const result = await posthtml([obfuscate()]).process(html);
    fs.writeFileSync(file, result.html);
  }
  console.log(JSON.stringify({bytes, seconds: Number(process.hrtime.bigint() - start) / 1e9}));
}

main();
