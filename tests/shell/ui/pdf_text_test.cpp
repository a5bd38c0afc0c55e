// Every PDF the program writes gives back the text it drew: the score
// table's painter and the print preview's document, read back with
// pdftotext, hold exactly the characters of the starter content and of a
// class of common names (CJK fonts share a glyph between a radical and its
// ideograph, and a reader must get the ideograph).
#include "shell/core/StarterContent.h"
#include "shell/ui/DocServices.h"
#include "shell/ui/PagePainter.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

// A class's worth of names, rich in the characters whose glyphs CJK fonts
// share with a radical (二 文 雨 黄 龙 长 门 马 鱼 鸟 页 风 飞 见 贝 车 金 …).
const QStringList kNames = {
    QStringLiteral("王二丫"), QStringLiteral("黄文博"), QStringLiteral("李雨泽"), QStringLiteral("张子涵"),
    QStringLiteral("龙飞"),   QStringLiteral("马长风"), QStringLiteral("门一鸣"), QStringLiteral("鱼小鸟"),
    QStringLiteral("陈欣怡"), QStringLiteral("刘浩宇"), QStringLiteral("杨梓萱"), QStringLiteral("赵见贝"),
    QStringLiteral("车立新"), QStringLiteral("金麦香"), QStringLiteral("齐心"),   QStringLiteral("韦页"),
    QStringLiteral("周大山"), QStringLiteral("吴月明"), QStringLiteral("徐日升"), QStringLiteral("孙木森"),
    QStringLiteral("胡水清"), QStringLiteral("朱火旺"), QStringLiteral("高土生"), QStringLiteral("林石坚"),
    QStringLiteral("何田力"), QStringLiteral("郭立人"), QStringLiteral("罗心怡"), QStringLiteral("梁言"),
    QStringLiteral("宋玉洁"), QStringLiteral("郑走远"), QStringLiteral("谢足"),   QStringLiteral("韩身正"),
    QStringLiteral("唐米乐"), QStringLiteral("冯竹"),   QStringLiteral("于羽"),   QStringLiteral("董而立"),
    QStringLiteral("萧耳"),   QStringLiteral("程肉"),   QStringLiteral("曹臣"),   QStringLiteral("袁至"),
    QStringLiteral("邓舌"),   QStringLiteral("许舟"),   QStringLiteral("傅色"),   QStringLiteral("沈虫"),
    QStringLiteral("曾血"),   QStringLiteral("彭行"),   QStringLiteral("吕衣"),   QStringLiteral("苏西"),
    QStringLiteral("卢角"),   QStringLiteral("蒋谷"),   QStringLiteral("蔡豆"),   QStringLiteral("贾赤"),
    QStringLiteral("丁辛"),   QStringLiteral("魏辰"),   QStringLiteral("薛里"),   QStringLiteral("叶非"),
    QStringLiteral("阎面"),   QStringLiteral("余革"),   QStringLiteral("潘音"),   QStringLiteral("杜首"),
    QStringLiteral("戴香"),   QStringLiteral("夏骨"),   QStringLiteral("钟高"),   QStringLiteral("汪鬼"),
    QStringLiteral("田鹿"),   QStringLiteral("任黑"),   QStringLiteral("姜鼎"),   QStringLiteral("范鼓"),
    QStringLiteral("方鼠"),   QStringLiteral("石鼻"),   QStringLiteral("姚齿"),   QStringLiteral("谭龟"),
};

// Every character of the program's starter content and of the names, each
// once, without blanks.
QString characters() {
    shell::starterRows(QStringLiteral("studenPy")); // makes the built-in files readable
    QString all = kNames.join(QString());
    const QDir dir(QStringLiteral(":/data"));
    for (const QString& name : dir.entryList({QStringLiteral("*.tsv")}, QDir::Files)) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::ReadOnly)) all += QString::fromUtf8(f.readAll());
    }
    QList<uint> seen;
    QSet<uint> once;
    for (const uint c : all.toUcs4())
        if (!QChar::isSpace(c) && c >= 0x80 && !once.contains(c)) {
            once.insert(c);
            seen << c;
        }
    // And Latin words a comment may hold, whose letters a font may draw as
    // one ligature glyph.
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(seen.constData()), seen.size()) +
           QStringLiteral("officefluffyWiFi");
}

QString removeBlanks(QString s) {
    s.remove(QRegularExpression(QStringLiteral("\\s")));
    return s;
}

// The text of a PDF as a reader gets it.
QString pdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return QStringLiteral("<pdftotext failed>");
    // Poppler rebuilds a broken cross-reference table quietly but for a
    // word on its error stream.
    if (const QByteArray said = p.readAllStandardError(); !said.isEmpty())
        return QStringLiteral("<pdftotext: %1>").arg(QString::fromUtf8(said));
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The characters that differ, each with what was read in its place.
std::string differences(const QString& drawn, const QString& read) {
    std::string out;
    const QList<uint> a = drawn.toUcs4(), b = read.toUcs4();
    int told = 0;
    for (qsizetype i = 0; i < qMin(a.size(), b.size()) && told < 20; ++i)
        if (a[i] != b[i]) {
            out += QStringLiteral("%1 (U+%2) read as %3 (U+%4); ")
                       .arg(QString::fromUcs4(reinterpret_cast<const char32_t*>(&a[i]), 1))
                       .arg(a[i], 4, 16, QChar(u'0'))
                       .arg(QString::fromUcs4(reinterpret_cast<const char32_t*>(&b[i]), 1))
                       .arg(b[i], 4, 16, QChar(u'0'))
                       .toStdString();
            ++told;
        }
    if (a.size() != b.size())
        out += "lengths " + std::to_string(a.size()) + " and " + std::to_string(b.size());
    return out;
}

// Lines of the text, `width` characters each.
QStringList linesOf(const QString& text, int width) {
    QStringList out;
    const QList<uint> points = text.toUcs4();
    for (qsizetype i = 0; i < points.size(); i += width) {
        const qsizetype n = qMin<qsizetype>(width, points.size() - i);
        out << QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData() + i), n);
    }
    return out;
}

// The lines on A4 pages in 宋体, 40 lines a page, as the score table's
// layout hands them to the painter.
class TextPages : public shell::PageSource {
public:
    explicit TextPages(QStringList lines) : lines_(std::move(lines)) {}
    QSize paperTwips() const override { return {11906, 16838}; }
    QString fontFamily() const override { return QStringLiteral("宋体"); }
    int pageCount() const override { return int((lines_.size() + 39) / 40); }
    shell::DrawPage page(int index) const override {
        shell::DrawPage ops;
        for (int i = 0; i < 40 && index * 40 + i < lines_.size(); ++i)
            ops << shell::DrawOp::textAt(1134, 1134 + i * 360, 12, lines_[index * 40 + i]);
        return ops;
    }

private:
    QStringList lines_;
};

} // namespace

TEST(PdfText, ScoreTablePagesGiveBackEveryCharacterDrawn) {
    const QString drawn = characters();
    ASSERT_GT(drawn.size(), 1000); // the starter content is there
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("成绩表.pdf"));
    const TextPages pages(linesOf(drawn, 30));
    ASSERT_TRUE(shell::printPagesToPdf(pages, pdf));
    const QString read = removeBlanks(pdfText(pdf));
    EXPECT_TRUE(read == drawn) << differences(drawn, read);
}

TEST(PdfText, PrintedDocumentsGiveBackEveryCharacterDrawn) {
    const QString drawn = characters();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("评语.pdf"));
    ASSERT_TRUE(shell::printTextToPdf(linesOf(drawn, 30).join(u'\n'), pdf));
    const QString read = removeBlanks(pdfText(pdf));
    EXPECT_TRUE(read == drawn) << differences(drawn, read);
}

// The print preview draws through the same code on a printer that may name
// the PDF file of an earlier print; drawing the preview neither reads nor
// writes that file.
TEST(PdfText, PreviewLeavesThePdfFileAlone) {
    QTemporaryDir dir;
    const QString earlier = dir.filePath(QStringLiteral("上次打印.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(earlier);
    const auto doc = shell::buildPrintDocument(QStringLiteral("二文雨黄"));
    QPrintPreviewWidget preview(&printer);
    std::optional<shell::Outcome> drawn;
    QObject::connect(&preview, &QPrintPreviewWidget::paintRequested,
                     [&](QPrinter* p) { drawn = shell::printDocument(*doc, *p); });
    preview.updatePreview();
    ASSERT_TRUE(drawn.has_value());
    EXPECT_TRUE(*drawn) << drawn->messages.join(u' ').toStdString();
    EXPECT_FALSE(QFile::exists(earlier));
}
