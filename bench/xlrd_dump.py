#!/usr/bin/python3
"""The peer of `velmora-xls dump` for the benchmark: python3-xlrd reads the
workbook and prints every non-empty cell as one JSON object a line (sheet,
address, type, text)."""
import json
import sys

import xlrd

TYPES = {xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number",
         xlrd.XL_CELL_DATE: "date", xlrd.XL_CELL_BOOLEAN: "boolean",
         xlrd.XL_CELL_ERROR: "error"}


def main(path):
    book = xlrd.open_workbook(path, logfile=open("/dev/null", "w"))
    out = sys.stdout
    for sheet in book.sheets():
        for r in range(sheet.nrows):
            for c, cell in enumerate(sheet.row(r)):
                kind = TYPES.get(cell.ctype)
                if kind is None:
                    continue
                out.write(json.dumps({"sheet": sheet.name,
                                      "address": xlrd.cellname(r, c),
                                      "type": kind, "text": str(cell.value)},
                                     ensure_ascii=False))
                out.write("\n")


if __name__ == "__main__":
    main(sys.argv[1])
