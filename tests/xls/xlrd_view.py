#!/usr/bin/python3
"""Prints what python3-xlrd sees in .xls files, as one JSON object a file.

Usage: xlrd_view.py FILE...  (one line of JSON per file, in order)

Per worksheet: its cells as [row, col, type, value, xf] (xlrd cell types:
1 text, 2 number, 3 date, 4 boolean, 5 error, 6 blank), merged ranges,
column widths and row heights, so that a test can compare two files the
way an independent reader sees them. A file xlrd cannot read gives
{"error": "..."}.
"""
import io
import json
import sys

import xlrd


def sheet_view(sheet):
    cells = []
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            if cell.ctype == xlrd.XL_CELL_EMPTY:
                continue
            cells.append([r, c, cell.ctype, cell.value, sheet.cell_xf_index(r, c)])
    columns = {str(c): [i.width, i.hidden, i.xf_index]
               for c, i in sorted(sheet.colinfo_map.items())}
    rows = {str(r): [i.height, i.hidden, i.has_default_height]
            for r, i in sorted(sheet.rowinfo_map.items())}
    return {
        "name": sheet.name,
        "cells": cells,
        "merged": sorted(list(m) for m in sheet.merged_cells),
        "columns": columns,
        "rows": rows,
        "default_row_height": sheet.default_row_height,
        "default_column_width": sheet.defcolwidth,
        "standard_width": sheet.standardwidth,
    }


def book_view(path):
    log = io.StringIO()
    try:
        book = xlrd.open_workbook(path, formatting_info=True, logfile=log)
    except Exception as e:  # every failure is a finding for the test
        return {"error": "%s: %s" % (type(e).__name__, e)}
    return {
        "datemode": book.datemode,
        "xf_count": len(book.xf_list),
        "font_count": len(book.font_list),
        "formats": sorted([k, v.format_str] for k, v in book.format_map.items()),
        "names": [n.name for n in book.name_obj_list],
        "sheets": [sheet_view(s) for s in book.sheets()],
    }


if __name__ == "__main__":
    for path in sys.argv[1:]:
        print(json.dumps(book_view(path), ensure_ascii=False))
