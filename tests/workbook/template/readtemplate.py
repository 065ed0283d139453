# Prints what xlrd, a strict reader of 97-2003 workbooks, reads from the template as JSON.
import json, sys, xlrd
book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
def describe(sheet, cell):
    xf = book.xf_list[sheet.cell_xf_index(*cell)]
    return {"format": book.format_map[xf.format_key].format_str,
            "fill": list(book.colour_map.get(xf.background.pattern_colour_index) or [])}
first, second = book.sheet_by_index(0), book.sheet_by_index(1)
print(json.dumps({
    "sheets": book.sheet_names(), "datemode": book.datemode,
    "zoom": first.scl_mag_factor, "grid": first.show_grid_lines,
    "headings": first.show_sheet_headers, "rows": first.nrows, "columns": first.ncols,
    "widths1": [first.colinfo_map[c].width for c in range(15)],
    "widths2": [second.colinfo_map[c].width for c in range(11)],
    "I1": describe(first, (0, 8)), "D4": describe(first, (3, 3)), "E4": describe(first, (3, 4)),
    "M34": describe(first, (33, 12)), "O26": describe(first, (25, 14)),
    "I3": describe(first, (2, 8)), "I22": describe(first, (21, 8)),
    "runDate": first.cell_value(0, 8)}))
