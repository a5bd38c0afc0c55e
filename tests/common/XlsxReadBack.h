#pragma once

// Reads an .xlsx file back the way another program would, through
// python3-openpyxl: the first sheet's cells with their value, kind, borders,
// fill, font colour and wrapping, and the column widths, as JSON.

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

    bool ok() const { return error.isEmpty(); }
    QJsonObject cell(const QString& name) const { return cells.value(name).toObject(); }
    QJsonValue value(const QString& name) const { return cell(name).value(QStringLiteral("v")); }
    // 's' text, 'n' number, 'f' formula; empty for a cell without a value.
    QString type(const QString& name) const { return cell(name).value(QStringLiteral("t")).toString(); }
};

inline XlsxBook readXlsx(const QString& path) {
    static const char* const script = R"(
import sys, json, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[0]
def rgb(c):
    return c.rgb if c is not None and isinstance(c.rgb, str) else None
out = {"sheets": len(wb.worksheets), "dims": ws.calculate_dimension(), "cells": {}, "widths": {}}
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
            "wrap": bool(c.alignment.wrap_text),
        }
for k, d in ws.column_dimensions.items():
    out["widths"][k] = d.width
sys.stdout.write(json.dumps(out, ensure_ascii=False))
)";
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
    return book;
}

} // namespace testing_support
