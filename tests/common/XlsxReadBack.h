#pragma once

// Reads an .xlsx file back the way another program would, through
// python3-openpyxl: the first sheet's cells with their value, kind, borders,
// fill, font colour and name and wrapping, the column widths, the sheet's
// name and print setup, and the number cells' texts as the file holds them,
// as JSON.

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>

namespace testing_support {

struct XlsxBook {
    QString error; // empty when the file was read
    int sheets = 0;
    QString dimensions; // "A5:H29"
    QJsonObject cells;  // "B5" -> {v, t, border[4], borderColor[4], fill, font, wrap}
    QJsonObject widths; // "A" -> width
    QString title;      // the first sheet's name
    QJsonObject page;   // orientation, fitToWidth, fitToHeight, fitToPage, printTitleRows
    QJsonObject raw;    // number cells: "C6" -> "97.4", the text in sheet1.xml

    bool ok() const { return error.isEmpty(); }
    QJsonObject cell(const QString& name) const { return cells.value(name).toObject(); }
    QJsonValue value(const QString& name) const { return cell(name).value(QStringLiteral("v")); }
    // 's' text, 'n' number, 'f' formula; empty for a cell without a value.
    QString type(const QString& name) const { return cell(name).value(QStringLiteral("t")).toString(); }
};

inline XlsxBook readXlsx(const QString& path) {
    static const char* const script = R"PY(
import sys, json, re, zipfile, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[0]
raw = {}
with zipfile.ZipFile(sys.argv[1]) as z:
    sheet = z.read("xl/worksheets/sheet1.xml").decode("utf-8")
    for m in re.finditer(r'<c r="([A-Z]+[0-9]+)"((?: [a-z]+="[^"]*")*)><v>([^<]*)</v>', sheet):
        if ' t="' not in m.group(2):
            raw[m.group(1)] = m.group(3)
def rgb(c):
    return c.rgb if c is not None and isinstance(c.rgb, str) else None
ps = ws.page_setup
pr = ws.sheet_properties.pageSetUpPr
out = {"sheets": len(wb.worksheets), "dims": ws.calculate_dimension(), "cells": {}, "widths": {},
       "title": ws.title, "raw": raw,
       "page": {"orientation": ps.orientation, "fitToWidth": ps.fitToWidth, "fitToHeight": ps.fitToHeight,
                "fitToPage": bool(pr and pr.fitToPage), "paperSize": ps.paperSize,
                "printTitleRows": ws.print_title_rows}}
for row in ws.iter_rows():
    for c in row:
        if c.value is None and not c.has_style:
            continue
        b = c.border
        sides = [b.left, b.right, b.top, b.bottom]
        out["cells"][c.coordinate] = {
            "v": c.value,
            "t": c.data_type if c.value is not None else "",
            "border": [s.style for s in sides],
            "borderColor": [rgb(s.color) for s in sides],
            "fill": rgb(c.fill.fgColor) if c.fill.fill_type == "solid" else None,
            "font": rgb(c.font.color),
            "fontName": c.font.name,
            "wrap": bool(c.alignment.wrap_text),
        }
for k, d in ws.column_dimensions.items():
    out["widths"][k] = d.width
sys.stdout.write(json.dumps(out, ensure_ascii=False))
)PY";
    XlsxBook book;
    // Debian's interpreter, which has the python3-openpyxl package, even
    // where another python3 comes first on the PATH.
    const QString python = QFile::exists(QStringLiteral("/usr/bin/python3"))
                               ? QStringLiteral("/usr/bin/python3")
                               : QStringLiteral("python3");
    QProcess p;
    p.start(python, {QStringLiteral("-c"), QString::fromUtf8(script), path});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        book.error = QString::fromUtf8(p.readAllStandardError());
        if (book.error.isEmpty()) book.error = QStringLiteral("python3 did not finish");
        return book;
    }
    const QJsonObject o = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    book.sheets = o.value(QStringLiteral("sheets")).toInt();
    book.dimensions = o.value(QStringLiteral("dims")).toString();
    book.cells = o.value(QStringLiteral("cells")).toObject();
    book.widths = o.value(QStringLiteral("widths")).toObject();
    book.title = o.value(QStringLiteral("title")).toString();
    book.page = o.value(QStringLiteral("page")).toObject();
    book.raw = o.value(QStringLiteral("raw")).toObject();
    return book;
}

} // namespace testing_support
