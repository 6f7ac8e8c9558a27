#!/usr/bin/env python3
"""Reads an exported file back the way other programs do and prints what it
holds as JSON: a CSV through the csv module (';' between fields), through
pandas (every column as text, as a program keeping codes' zeros reads it)
and through Gnumeric's ssconvert under pt_BR (what a spreadsheet shows, with
formulas evaluated); an XLSX through openpyxl (cell types, values, number
formats, fonts, notes, frozen panes)."""
import csv
import json
import os
import subprocess
import sys
import tempfile


def read_csv(path):
    with open(path, 'rb') as f:
        bom = f.read(3) == b'\xef\xbb\xbf'
    with open(path, newline='', encoding='utf-8-sig') as f:
        rows = list(csv.reader(f, delimiter=';', strict=True))
    return {'bom': bom, 'rows': rows}


def read_pandas(path):
    import pandas
    frame = pandas.read_csv(path, sep=';', dtype=str, keep_default_na=False, encoding='utf-8-sig')
    return {'columns': list(frame.columns), 'rows': frame.values.tolist()}


def read_gnumeric(path):
    # Gnumeric guesses the separator of a .txt file, as a person's import does.
    with tempfile.TemporaryDirectory() as tmp:
        source, shown = os.path.join(tmp, 'in.txt'), os.path.join(tmp, 'out.txt')
        with open(path, 'rb') as f, open(source, 'wb') as g:
            g.write(f.read())
        env = dict(os.environ, LC_ALL='pt_BR.UTF-8', LANG='pt_BR.UTF-8')
        subprocess.run(['ssconvert', '--export-type=Gnumeric_stf:stf_assistant',
                        '-O', 'separator=| format=raw quoting-mode=never', source, shown],
                       env=env, check=True, capture_output=True)
        with open(shown, encoding='utf-8') as f:
            return {'rows': [line.rstrip('\n').split('|') for line in f]}


def cell_json(cell):
    value = cell.value
    if hasattr(value, 'isoformat'):
        value = value.isoformat()
    return {'type': cell.data_type, 'value': value, 'format': cell.number_format,
            'bold': bool(cell.font and cell.font.b), 'date': bool(cell.is_date),
            'note': cell.comment.text if cell.comment else None}


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
    readers = {'csv': read_csv, 'pandas': read_pandas, 'gnumeric': read_gnumeric, 'xlsx': read_xlsx}
    result = readers[kind](path)
    json.dump(result, sys.stdout, ensure_ascii=False)
