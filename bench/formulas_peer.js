// The peer of the formula benchmark: npm's HyperFormula computing the same
// workloads (written by velmora_bench --write-files) in the same run.
//   node formulas_peer.js NODE_MODULES WORKLOAD.json
// Prints {"full_ms": best full recalculation, "write_ms": one write with its
// dependents, "formulas": count, "dependent": the dependent cell's value}.
const path = require('path');
const fs = require('fs');
const { HyperFormula } = require(path.join(process.argv[2], 'hyperformula'));
const work = JSON.parse(fs.readFileSync(process.argv[3], 'utf8'));

const sheets = {};
for (const name of work.order) sheets[name] = work.sheets[name];
const hf = HyperFormula.buildFromSheets(sheets, { licenseKey: 'gpl-v3' });
let formulas = 0;
for (const name of work.order)
  for (const row of work.sheets[name])
    for (const cell of row) if (typeof cell === 'string' && cell.startsWith('=')) formulas++;

const now = () => Number(process.hrtime.bigint()) / 1e6;
let full = Infinity;
for (let i = 0; i < 3; i++) {
  const t = now();
  hf.rebuildAndRecalculate();
  full = Math.min(full, now() - t);
}

const target = { sheet: hf.getSheetId(work.write.sheet), row: work.write.row, col: work.write.column };
const dependent = {
  sheet: hf.getSheetId(work.dependent.sheet), row: work.dependent.row, col: work.dependent.column };
const rounds = 200;
let value = null;
const t = now();
for (let i = 0; i < rounds; i++) {
  hf.setCellContents(target, [[i % 2 ? 98 : 99]]);
  value = hf.getCellValue(dependent);
}
const write = (now() - t) / rounds;
console.log(JSON.stringify({ full_ms: full, write_ms: write, formulas, dependent: String(value) }));
