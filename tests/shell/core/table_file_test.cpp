// Table files as the school office sends them: CSV in UTF-8 or GB18030 with
// any of three separators and RFC 4180 quoting; files that are not tables.
#include "shell/core/TableFile.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using shell::Reason;
using shell::TableRows;

namespace {

QByteArray gb18030(const QString& text) {
    QStringEncoder encode("GB18030");
    EXPECT_TRUE(encode.isValid());
    return encode.encode(text);
}

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

TEST(TableFile, CsvInGb18030WithQuotesAndSeparatorsInsideNames) {
    QTemporaryDir dir;
    // As a spreadsheet on Chinese Windows saves it: GB18030, CRLF, quotes
    // around a name holding a comma, a doubled quote, a line break, and a
    // character outside GBK's two-byte range (four bytes in GB18030).
    const QString text = QStringLiteral("学号,姓名,语文\r\n"
                                        "1001,\"欧阳,明\",95.5\r\n"
                                        "1002,\"李\"\"小\"\"龙\",88\r\n"
                                        "1003,\"王\n芳\",\r\n"
                                        "1004,𠀀甲,70\r\n");
    TableRows rows;
    const QString path = write(dir, QStringLiteral("名单.csv"), gb18030(text));
    ASSERT_TRUE(shell::readTableFile(path, rows));
    const TableRows expected{
        {QStringLiteral("学号"), QStringLiteral("姓名"), QStringLiteral("语文")},
        {QStringLiteral("1001"), QStringLiteral("欧阳,明"), QStringLiteral("95.5")},
        {QStringLiteral("1002"), QStringLiteral("李\"小\"龙"), QStringLiteral("88")},
        {QStringLiteral("1003"), QStringLiteral("王\n芳"), QString()},
        {QStringLiteral("1004"), QStringLiteral("𠀀甲"), QStringLiteral("70")},
    };
    EXPECT_EQ(rows, expected);
}

TEST(TableFile, EncodingsAndSeparators) {
    struct Case {
        const char* what;
        QByteArray bytes;
        TableRows rows;
    };
    const TableRows plain{{QStringLiteral("编号"), QStringLiteral("姓名")},
                          {QStringLiteral("7"), QStringLiteral("张三")}};
    const QByteArray utf8 = QStringLiteral("编号,姓名\n7,张三\n").toUtf8();
    const std::vector<Case> cases{
        {"UTF-8", utf8, plain},
        {"UTF-8 with its byte-order mark", QByteArray("\xEF\xBB\xBF") + utf8, plain},
        {"GB18030", gb18030(QStringLiteral("编号,姓名\n7,张三\n")), plain},
        {"semicolon", QStringLiteral("编号;姓名\n7;张三").toUtf8(), plain},
        {"tab", QStringLiteral("编号\t姓名\r\n7\t张三\r\n").toUtf8(), plain},
        // Commas in the names of a semicolon file: the first line decides.
        {"semicolon, commas in quotes",
         QStringLiteral("编号;\"姓名,别名\"\n7;张三,小张\n").toUtf8(),
         {{QStringLiteral("编号"), QStringLiteral("姓名,别名")},
          {QStringLiteral("7"), QStringLiteral("张三,小张")}}},
        {"blanks around fields", QStringLiteral(" 编号 , 姓名\n7,张三\n").toUtf8(), plain},
        {"empty file", QByteArray(), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TableRows rows;
        ASSERT_TRUE(shell::readCsv(c.bytes, rows));
        EXPECT_EQ(rows, c.rows);
    }
    EXPECT_EQ(shell::guessSeparator("a,b;c;d\n1,2"), ';');
    EXPECT_EQ(shell::guessSeparator("\"a;b;c\",d\n"), ',');
    EXPECT_EQ(shell::guessSeparator("a\tb,c\td\n"), '\t');
    EXPECT_EQ(shell::guessSeparator("abc"), ',');
}

TEST(TableFile, FilesThatAreNoTablesAreNamed) {
    QTemporaryDir dir;
    TableRows rows{{QStringLiteral("stale")}};
    shell::Outcome out = shell::readTableFile(dir.filePath(QStringLiteral("没有.csv")), rows);
    EXPECT_EQ(out.reason, Reason::NotFound);
    EXPECT_TRUE(rows.isEmpty());

    out = shell::readTableFile(write(dir, QStringLiteral("名单.doc"), "x"), rows);
    EXPECT_EQ(out.reason, Reason::Invalid);
    EXPECT_TRUE(out.messages.value(0).contains(QStringLiteral("名单.doc")));

    for (const char* name : {"坏.xlsx", "坏.xls"}) {
        SCOPED_TRACE(name);
        out = shell::readTableFile(write(dir, QString::fromUtf8(name), QByteArray(3000, 'z')), rows);
        EXPECT_EQ(out.reason, Reason::Invalid);
        EXPECT_TRUE(
            out.messages.value(0).startsWith(QStringLiteral("文件“%1”无法读取").arg(QString::fromUtf8(name))))
            << qPrintable(out.messages.value(0));
        EXPECT_TRUE(rows.isEmpty());
    }
}

} // namespace
