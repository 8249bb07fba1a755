#!/usr/bin/python3
"""Reads an .xls file with the independent reader xlrd and prints it as JSON:
{"sheets": [names in order], "cells": {sheet: {"A1": ["text"|"number"|..., value]}}}
Empty and blank cells are left out. Run with Debian's /usr/bin/python3."""
import json
import os
import sys

import xlrd

KINDS = {xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number", xlrd.XL_CELL_DATE: "date",
         xlrd.XL_CELL_BOOLEAN: "boolean", xlrd.XL_CELL_ERROR: "error"}


def main():
    with open(os.devnull, "w") as quiet:
        book = xlrd.open_workbook(sys.argv[1], logfile=quiet)
    cells = {}
    for sheet in book.sheets():
        found = {}
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                if cell.ctype in KINDS:
                    found[xlrd.cellname(r, c)] = [KINDS[cell.ctype], cell.value]
        cells[sheet.name] = found
    json.dump({"sheets": book.sheet_names(), "cells": cells}, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main()
