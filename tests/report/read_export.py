#!/usr/bin/env python3
"""Reads an exported file back the way other programs do and prints what it
holds as JSON: a CSV through the csv module (';' between fields), an XLSX
through openpyxl (cell types, values, number formats, fonts, frozen panes)."""
import csv
import json
import sys


def read_csv(path):
    with open(path, 'rb') as f:
        bom = f.read(3) == b'\xef\xbb\xbf'
    with open(path, newline='', encoding='utf-8-sig') as f:
        rows = list(csv.reader(f, delimiter=';', strict=True))
    return {'bom': bom, 'rows': rows}


def cell_json(cell):
    value = cell.value
    if hasattr(value, 'isoformat'):
        value = value.isoformat()
    return {'type': cell.data_type, 'value': value, 'format': cell.number_format,
            'bold': bool(cell.font and cell.font.b), 'date': bool(cell.is_date)}


def read_xlsx(path):
    import openpyxl
    from openpyxl.utils import get_column_letter
    book = openpyxl.load_workbook(path)
    sheet = book.worksheets[0]
    return {
        'sheets': book.sheetnames,
        'freeze': sheet.freeze_panes,
        'filter': sheet.auto_filter.ref,
        'widths': [sheet.column_dimensions[get_column_letter(i)].width
                   for i in range(1, sheet.max_column + 1)],
        'rows': [[cell_json(c) for c in row] for row in sheet.iter_rows()],
    }


if __name__ == '__main__':
    kind, path = sys.argv[1], sys.argv[2]
    result = read_csv(path) if kind == 'csv' else read_xlsx(path)
    json.dump(result, sys.stdout, ensure_ascii=False)
