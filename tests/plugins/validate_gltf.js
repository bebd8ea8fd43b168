// Runs the Khronos glTF validator (tools/gltf-validator, installed by
// scripts/bootstrap) over .glb files: prints each file's counts and every
// error, warning and info, and fails when a file has an error or a
// warning, or when node cannot load the validator.
//
// usage: node validate_gltf.js SOURCE_DIR FILE.glb ...
'use strict';
const fs = require('fs');
const path = require('path');

const [root, ...files] = process.argv.slice(2);
let validator;
try {
  validator = require(path.resolve(root, 'tools', 'gltf-validator', 'node_modules', 'gltf-validator'));
} catch (e) {
  console.error(`FAIL: the glTF validator is not installed (run scripts/bootstrap): ${e.message}`);
  process.exit(1);
}
if (files.length === 0) {
  console.error('FAIL: no file to validate');
  process.exit(1);
}

const kSeverity = ['error', 'warning', 'info', 'hint'];

(async () => {
  let failed = 0;
  for (const file of files) {
    const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {maxIssues: 50});
    const n = report.issues;
    console.log(`${path.basename(file)}: ${n.numErrors} errors, ${n.numWarnings} warnings, ` +
                `${n.numInfos} infos, ${n.numHints} hints (validator ${report.validatorVersion})`);
    for (const m of n.messages)
      if (m.severity < 3) console.log(`  ${kSeverity[m.severity]} ${m.code} at ${m.pointer || '-'}: ${m.message}`);
    if (n.numErrors + n.numWarnings > 0) ++failed;
  }
  process.exit(failed ? 1 : 0);
})().catch((e) => {
  console.error(`FAIL: ${e.stack || e}`);
  process.exit(1);
});
