#!/usr/bin/python3
"""Prints how python3-xlrd sees the looks of .xls files, one JSON line a file.

Usage: xlrd_styles.py FILE...

fonts: [name, height in twips, bold, italic, underline, struck out, colour]
(bold by weight: WPS leaves the bold flag out; index 4, which no file has,
is null); xfs: [font, custom format code or
null, horizontal, vertical, wrap, indent, [left, right, top, bottom] as
[line style, colour], fill pattern, pattern colour, background colour];
colours as "RRGGBB" or null for the system colours. Per worksheet: merged
ranges and the frozen rows and columns.
"""
import io
import json
import sys

import xlrd


def colour(book, index):
    rgb = book.colour_map.get(index)
    return None if rgb is None else "%02X%02X%02X" % tuple(rgb)


def book_styles(path):
    log = io.StringIO()
    try:
        book = xlrd.open_workbook(path, formatting_info=True, logfile=log)
    except Exception as e:
        return {"error": "%s: %s" % (type(e).__name__, e)}
    fonts = []
    for i, f in enumerate(book.font_list):
        fonts.append(None if i == 4 else [f.name, f.height, f.weight >= 600, bool(f.italic),
                                           f.underline_type != 0, bool(f.struck_out),
                                           colour(book, f.colour_index)])
    xfs = []
    for x in book.xf_list:
        b = x.border
        sides = [[b.left_line_style, colour(book, b.left_colour_index)],
                 [b.right_line_style, colour(book, b.right_colour_index)],
                 [b.top_line_style, colour(book, b.top_colour_index)],
                 [b.bottom_line_style, colour(book, b.bottom_colour_index)]]
        fmt = book.format_map.get(x.format_key)
        xfs.append([x.font_index, fmt.format_str if fmt is not None and x.format_key >= 164 else None,
                    x.alignment.hor_align, x.alignment.vert_align, bool(x.alignment.text_wrapped),
                    x.alignment.indent_level, sides, x.background.fill_pattern,
                    colour(book, x.background.pattern_colour_index),
                    colour(book, x.background.background_colour_index)])
    sheets = [{"merged": sorted(list(m) for m in s.merged_cells),
               "frozen": [s.horz_split_pos, s.vert_split_pos] if s.panes_are_frozen else [0, 0]}
              for s in book.sheets()]
    return {"fonts": fonts, "xfs": xfs, "sheets": sheets}


if __name__ == "__main__":
    for path in sys.argv[1:]:
        print(json.dumps(book_styles(path), ensure_ascii=False))
