// The text of the PDF files the program writes: a glyph a CJK font shares
// between a radical and its ideograph reads back as the ideograph, and the
// file around the mended maps stays a sound PDF.
#include "shell/docs/PdfText.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace shell;

namespace {

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// Every in-use entry of the file's cross-reference table points at its own
// "N G obj", and startxref at the table: what a strict reader needs (poppler
// would quietly rebuild a broken table, so pdftotext alone proves nothing).
void expectSoundCrossReferences(const QByteArray& pdf) {
    const QRegularExpression start(QStringLiteral("startxref\\s+(\\d+)\\s+%%EOF\\s*$"));
    const auto m = start.match(QString::fromLatin1(pdf));
    ASSERT_TRUE(m.hasMatch());
    const qsizetype xref = m.captured(1).toLongLong();
    ASSERT_TRUE(pdf.mid(xref).startsWith("xref")) << pdf.mid(xref, 20).toStdString();
    const QByteArray table = pdf.mid(xref, pdf.indexOf("trailer", xref) - xref);
    const QList<QByteArray> lines = table.split('\n');
    int first = 0, checked = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> f = lines[i].trimmed().split(' ');
        if (f.size() == 2) {
            first = f[0].toInt();
            continue;
        }
        if (f.size() != 3) continue;
        ASSERT_EQ(lines[i].size() + 1, 20) << "an entry is twenty bytes";
        if (f[2] == "n") {
            const QByteArray head =
                QByteArray::number(first) + ' ' + QByteArray::number(f[1].toInt()) + " obj";
            EXPECT_TRUE(pdf.mid(f[0].toLongLong()).startsWith(head)) << head.toStdString();
            ++checked;
        }
        ++first;
    }
    EXPECT_GT(checked, 3);
}

QString pdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return QStringLiteral("<pdftotext failed>");
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

} // namespace

TEST(PdfText, RadicalsAndStrokesStandForTheirIdeographs) {
    const struct {
        char32_t from, to;
    } cases[] = {
        {0x2F06, 0x4E8C},                    // ⼆ 二 (Kangxi radicals)
        {0x2F42, 0x6587},                    // ⽂ 文
        {0x2FAC, 0x96E8},                    // ⾬ 雨
        {0x2F00, 0x4E00},                    // ⼀ 一, the first
        {0x2FD5, 0x9FA0},                    // ⿕ 龠, the last
        {0x2EE9, 0x9EC4},                    // ⻩ 黄 (radicals supplement)
        {0x2EF0, 0x9F99},                    // ⻰ 龙
        {0x2E8C, 0x5C0F},                    // ⺌ 小, a run of two
        {0x2E8D, 0x5C0F},                    // ⺍ 小
        {0x2E87, 0x20628},                   // ⺇ beyond the basic plane
        {0x31D0, 0x4E00},                    // ㇐ 一 (strokes)
        {0x2E80, 0x2E80},                    // no ideograph of its own
        {0x2E9A, 0x2E9A},                    // unassigned
        {0x4E8C, 0x4E8C},                    // an ideograph stays
        {u'A', u'A'},      {0x3002, 0x3002}, // 。
    };
    for (const auto& c : cases)
        EXPECT_EQ(unifiedIdeograph(c.from), c.to) << std::hex << uint(c.from);
}

TEST(PdfText, MapsOfEveryShapeAreMended) {
    // Qt's shape: ranges of consecutive codes, ranges with a list, single
    // codes; the radicals anywhere in them.
    const QByteArray head = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                            "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                            "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    const QByteArray tail = "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    const QByteArray cmap = head +
                            "3 beginbfrange\n<0000> <0000> <0000>\n<0001> <0003> <2F05>\n"
                            "<0004> <0006> [<0041> <2EE9> <2E87>]\nendbfrange\n"
                            "3 beginbfchar\n<0007> <D840DC00>\n<0008> <2FAC>\n<0009> <FB01>\nendbfchar\n" +
                            tail;
    bool changed = false;
    const QByteArray mended = mendToUnicodeMap(cmap, &changed);
    EXPECT_TRUE(changed);
    EXPECT_TRUE(mended.startsWith(head));
    EXPECT_TRUE(mended.endsWith(tail));
    const QByteArray expected = "10 beginbfchar\n<0000> <0000>\n<0001> <4E85>\n<0002> <4E8C>\n<0003> <4EA0>\n"
                                "<0004> <0041>\n<0005> <9EC4>\n<0006> <D841DE28>\n<0007> <D840DC00>\n"
                                "<0008> <96E8>\n<0009> <00660069>\nendbfchar\n";
    EXPECT_TRUE(mended.contains(expected)) << mended.toStdString();

    // Nothing to mend, or nothing this reader knows: the map as it was.
    const QByteArray plain = head + "1 beginbfchar\n<0001> <4E8C>\nendbfchar\n" + tail;
    EXPECT_EQ(mendToUnicodeMap(plain, &changed), plain);
    EXPECT_FALSE(changed);
    for (const QByteArray& odd : {QByteArray("not a map"), head + "1 beginbfrange\n<0001> <0002>\n" + tail,
                                  head + "1 beginbfchar\n<0001> <2F0>\nendbfchar\n" + tail})
        EXPECT_EQ(mendToUnicodeMap(odd, &changed), odd);
}

// A PDF Qt writes: the text reads back as drawn and the file stays sound.
TEST(PdfText, QtsPdfReadsBackAsDrawn) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("名单.pdf"));
    const QString drawn = QStringLiteral("王二 黄文 李雨 龙飞 马长风 office fluffy");
    {
        QPdfWriter pdf(path);
        QPainter p(&pdf);
        p.setFont(QFont(QStringLiteral("Noto Serif CJK SC"), 20));
        p.drawText(QPointF(200, 800), drawn);
    }
    EXPECT_NE(pdfText(path), drawn); // as Qt left it
    QString error;
    ASSERT_TRUE(mendPdfText(path, &error)) << error.toStdString();
    EXPECT_EQ(pdfText(path), drawn);
    expectSoundCrossReferences(bytes(path));
    const QByteArray once = bytes(path);
    ASSERT_TRUE(mendPdfText(path, &error)); // a second time changes nothing
    EXPECT_EQ(bytes(path), once);
}

// A compressed map whose length is an object of its own, as other writers
// (and later versions of Qt) make them.
TEST(PdfText, CompressedMapWithItsLengthElsewhere) {
    const QByteArray map = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                           "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n"
                           "1 beginbfchar\n<0001> <2F06>\nendbfchar\nendcmap\nend\nend\n";
    const QByteArray packed = qCompress(map).mid(4); // zlib's own format
    QList<QByteArray> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Resources << /Font << /F1 4 0 R >> >> >>",
        "<< /Type /Font /Subtype /Type0 /BaseFont /X /Encoding /Identity-H /ToUnicode 5 0 R >>",
        "<< /Length 6 0 R /Filter /FlateDecode >>\nstream\n" + packed + "\nendstream",
        QByteArray::number(packed.size()),
    };
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 7\n0000000000 65535 f \n";
    for (const qsizetype o : offsets)
        pdf += QByteArray::number(o).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size 7 /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.pdf"));
    write(path, pdf);

    QString error;
    ASSERT_TRUE(mendPdfText(path, &error)) << error.toStdString();
    const QByteArray after = bytes(path);
    expectSoundCrossReferences(after);
    EXPECT_TRUE(after.contains("<0001> <4E8C>"));
    EXPECT_FALSE(after.contains(packed));
    EXPECT_TRUE(after.contains("/ToUnicode 5 0 R"));
}

TEST(PdfText, FileItCannotReadIsLeftAsItWas) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.pdf"));
    const QByteArray text = "%PDF-1.4\nnot really\n/ToUnicode 5 0 R\nstartxref\n9\n%%EOF\n";
    write(path, text);
    QString error;
    EXPECT_FALSE(mendPdfText(path, &error));
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_EQ(bytes(path), text);
    EXPECT_FALSE(mendPdfText(dir.filePath(QStringLiteral("none.pdf")), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("none.pdf"))) << error.toStdString();
}
