"""Prints a workbook as JSON as a spreadsheet program reads it (openpyxl): every worksheet
with every cell that holds something: row and column (from 1), type (s text, n number,
d date, f formula, b yes/no), value and number format."""
import json
import sys

import openpyxl

workbook = openpyxl.load_workbook(sys.argv[1])
sheets = []
for sheet in workbook.worksheets:
    cells = []
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is None:
                continue
            value = cell.value
            if cell.data_type == "d":
                value = value.date().isoformat()
            cells.append([cell.row, cell.column, cell.data_type, value, cell.number_format])
    sheets.append({"name": sheet.title, "cells": cells})
json.dump({"sheets": sheets}, sys.stdout, ensure_ascii=False)
