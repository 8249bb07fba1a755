#!/usr/bin/python3
"""Writes the dump benchmark's workbook with python3-xlwt: one sheet 学生档案,
headings in row 1, then 10,000 rows x 47 columns, every cell a different
Chinese text of 4 to 20 characters (the same file on every run).

Usage: xlwt_workbook.py OUT.xls
"""
import random
import sys

import xlwt

ROWS, COLUMNS = 10000, 47


def main(path):
    rng = random.Random(19)
    seen = set()

    def text():
        while True:
            s = "".join(chr(rng.randint(0x4E00, 0x9FA5)) for _ in range(rng.randint(4, 20)))
            if s not in seen:
                seen.add(s)
                return s

    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("学生档案")
    for c in range(COLUMNS):
        sheet.write(0, c, "字段%d" % (c + 1))
    for r in range(1, ROWS + 1):
        row = sheet.row(r)
        for c in range(COLUMNS):
            row.write(c, text())
        if r % 1000 == 0:
            sheet.flush_row_data()
    book.save(path)


if __name__ == "__main__":
    main(sys.argv[1])
