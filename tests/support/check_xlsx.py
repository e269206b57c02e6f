#!/usr/bin/env python3
"""Reads an .xlsx workbook with openpyxl and prints what a test needs to check
as JSON: sheet names, merged ranges, column widths and, per non-empty or
formatted cell, its value, type, number format, font and alignment."""
import datetime
import json
import sys

import openpyxl


def cell_value(value):
    if isinstance(value, datetime.datetime):
        return value.isoformat()
    return value


def describe(path):
    book = openpyxl.load_workbook(path)
    out = {"sheets": book.sheetnames, "sheet": {}}
    sheet = book.worksheets[0]
    out["sheet"]["title"] = sheet.title
    out["sheet"]["max_row"] = sheet.max_row
    out["sheet"]["max_column"] = sheet.max_column
    out["sheet"]["merged"] = sorted(str(r) for r in sheet.merged_cells.ranges)
    out["sheet"]["widths"] = {
        key: dim.width for key, dim in sheet.column_dimensions.items() if dim.width is not None
    }
    cells = {}
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is None and not cell.has_style:
                continue
            cells[cell.coordinate] = {
                "value": cell_value(cell.value),
                "type": type(cell.value).__name__,
                "number_format": cell.number_format,
                "bold": bool(cell.font.b),
                "size": cell.font.sz,
                "halign": cell.alignment.horizontal,
                "valign": cell.alignment.vertical,
                "wrap": bool(cell.alignment.wrap_text),
                "border": cell.border.left.style,
            }
    out["sheet"]["cells"] = cells
    return out


if __name__ == "__main__":
    json.dump(describe(sys.argv[1]), sys.stdout, ensure_ascii=False)
