#!/usr/bin/env python3
"""Writes the corpus of the table-file fuzz target.

fuzz/corpus, where fuzzing starts: good files of each kind a school office
sends and the small files that once crashed the reader or were read wrong
(a sheet naming row 2,000,000,000, a column reference longer than any
sheet's, a CSV quote never closed). fuzz/crafted, replayed only (each takes
a good part of a second, which would starve the fuzzer): 20,000 rows of one
cell in the last column, shared strings that unpack to 80 MB (told
honestly, and claiming 100 bytes). The .xls is made from the CSV by
LibreOffice when it is installed (soffice on the PATH).
"""
import io
import os
import shutil
import subprocess
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus")
CRAFTED = os.path.join(HERE, "crafted")
NS = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"


def sheet(rows):
    return ('<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="%s"><sheetData>%s'
            "</sheetData></worksheet>" % (NS, rows)).encode()


def cell(ref, text):
    return '<c r="%s" t="inlineStr"><is><t>%s</t></is></c>' % (ref, text)


def package(parts):
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in parts:
            z.writestr(name, data)
    return buf.getvalue()


def claim_size(data, part, size):
    """The package with `part`'s unpacked size in both headers set to `size`."""
    b = bytearray(data)
    name = part.encode()
    at = 0
    while (at := b.find(b"PK\x03\x04", at)) >= 0:
        if b[at + 30:at + 30 + len(name)] == name:
            b[at + 22:at + 26] = size.to_bytes(4, "little")
        at += 4
    at = 0
    while (at := b.find(b"PK\x01\x02", at)) >= 0:
        if b[at + 46:at + 46 + len(name)] == name:
            b[at + 24:at + 28] = size.to_bytes(4, "little")
        at += 4
    return bytes(b)


def write(name, data, folder=OUT):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    os.makedirs(CRAFTED, exist_ok=True)
    heading = "学号,姓名,语文,数学\r\n1001,\"欧阳,明\",95.5,88\r\n1002,\"李\"\"小\"\"龙\",\"缺考\",70\r\n"
    write("good-gb18030.csv", heading.encode("gb18030"))
    write("good-utf8-bom.csv", b"\xef\xbb\xbf" + heading.replace(",", ";").encode())
    write("good-tab.csv", heading.replace(",", "\t").encode())
    write("quote-never-closed.csv", "学号,姓名\n1001,张三\n1002,\"李四\n1003,王五\n".encode())
    write("many-columns.csv", b"," * 300 + b"x\n")

    rows = cell("A1", "学号") + cell("B1", "姓名")
    good_sheet = sheet('<row r="1">%s</row><row r="2"><c r="A2"><v>1001</v></c>'
                       '<c r="B2" t="s"><v>0</v></c><c r="C2"><v>85.5</v></c></row>' % rows)
    strings = ('<sst xmlns="%s"><si><t>张三</t><rPh><t>ちょう</t></rPh></si><si><r><t>李</t></r>'
               '<r><t>四</t></r></si></sst>' % NS).encode()
    workbook = ('<workbook xmlns="%s" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/'
                'relationships"><sheets><sheet name="名单" sheetId="1" r:id="rId1"/></sheets></workbook>'
                % NS).encode()
    rels = (b'<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
            b'<Relationship Id="rId1" Type="worksheet" Target="worksheets/first.xml"/></Relationships>')
    write("good.xlsx", package([("xl/workbook.xml", workbook), ("xl/_rels/workbook.xml.rels", rels),
                                ("xl/worksheets/first.xml", good_sheet), ("xl/sharedStrings.xml", strings)]))
    # The fuzz target packages bare XML itself, a NUL byte before the shared strings.
    write("good-sheet.xml", good_sheet + b"\0" + strings)

    write("far-row.xlsx", package([("xl/worksheets/sheet1.xml", sheet(
        '<row r="1">%s</row><row r="2000000000">%s</row>' % (rows, cell("A2000000000", "张三"))))]))
    far = "".join('<row r="%d">%s</row>' % (r, cell("XFD%d" % r, "x")) for r in range(1, 20001))
    write("far-column.xlsx", package([("xl/worksheets/sheet1.xml", sheet(far))]), CRAFTED)
    write("long-column-reference.xlsx", package([("xl/worksheets/sheet1.xml", sheet(
        '<row r="1">%s</row>' % cell("Z" * 30 + "1", "x")))]))
    bomb = package([("xl/sharedStrings.xml", b"<sst><si><t>" + b"A" * (80 << 20) + b"</t></si></sst>"),
                    ("xl/worksheets/sheet1.xml", sheet('<row r="1"><c r="A1" t="s"><v>0</v></c></row>'))])
    write("strings-bomb.xlsx", bomb, CRAFTED)
    write("strings-bomb-lying.xlsx", claim_size(bomb, "xl/sharedStrings.xml", 100), CRAFTED)

    soffice = shutil.which("soffice")
    if soffice:
        with tempfile.TemporaryDirectory() as tmp:
            src = os.path.join(tmp, "good.csv")
            with open(src, "w", encoding="utf-8") as f:
                f.write(heading)
            subprocess.run([soffice, "--headless", "-env:UserInstallation=file://" + tmp + "/profile",
                            "--infilter=CSV:44,34,76", "--convert-to", "xls:MS Excel 97", "--outdir", tmp, src],
                           check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            shutil.copy(os.path.join(tmp, "good.xls"), os.path.join(OUT, "good.xls"))


if __name__ == "__main__":
    main()
