// The peer of `velmora-xls dump` for the benchmark: npm's xlsx reads the
// workbook and prints every non-empty cell as one JSON object a line
// (sheet, address, type, text).
const XLSX = require("xlsx");

const TYPES = { s: "text", n: "number", d: "date", b: "boolean", e: "error" };
const book = XLSX.readFile(process.argv[2], { dense: false });
const lines = [];
for (const name of book.SheetNames) {
  const sheet = book.Sheets[name];
  for (const address of Object.keys(sheet)) {
    if (address[0] === "!") continue;
    const cell = sheet[address];
    if (cell.t === "z") continue;
    lines.push(JSON.stringify({ sheet: name, address, type: TYPES[cell.t] || cell.t,
                                text: cell.w !== undefined ? cell.w : String(cell.v) }));
  }
}
process.stdout.write(lines.join("\n") + "\n");
