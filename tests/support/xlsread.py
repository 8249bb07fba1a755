#!/usr/bin/python3
"""Reads an .xls file with the independent reader xlrd and prints, as JSON:
{"datemode": 0|1, "sheets": [names], "active": index of the active sheet,
 "cells": {sheet: {"A1": [kind, value]}}}, kind one of text, number, date,
boolean, error (value: the error code). Empty cells are left out. Run with
Debian's /usr/bin/python3."""
import json
import os
import sys

import xlrd

KINDS = {xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number", xlrd.XL_CELL_DATE: "date",
         xlrd.XL_CELL_BOOLEAN: "boolean", xlrd.XL_CELL_ERROR: "error"}


def main():
    with open(os.devnull, "w") as quiet:
        book = xlrd.open_workbook(sys.argv[1], logfile=quiet, formatting_info=True)
    cells = {}
    active = 0
    for index, sheet in enumerate(book.sheets()):
        if sheet.sheet_visible:
            active = index
        found = {}
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                if cell.ctype in KINDS:
                    found[xlrd.cellname(r, c)] = [KINDS[cell.ctype], cell.value]
        cells[sheet.name] = found
    json.dump({"datemode": book.datemode, "sheets": book.sheet_names(), "active": active,
               "cells": cells}, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main()
