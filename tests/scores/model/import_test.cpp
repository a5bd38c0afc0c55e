// Importing a class list into the open class: from real .csv, .xlsx and .xls
// files, the column guess, the list of faulty rows before anything is
// written, and one transaction for the whole file.
#include "ScoresFixture.h"
#include "scores/model/ScoreImport.h"
#include "shell/docs/SpreadsheetWriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QUrl>
#include <sqlite3.h>

using namespace scores;
using shell::TableRows;

namespace {

class ImportTest : public ScoresFixture {
protected:
    void SetUp() override {
        openClass();
        addSubjects({QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("英语")});
        ASSERT_TRUE(model.addStudent(QStringLiteral("张三"), QStringLiteral("1001")));
    }
    // Student rows as "编号|姓名|js0|js1|js2".
    QStringList students() {
        QStringList out;
        auto rs = table();
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
            const QString number = rs->text(QStringLiteral("编号"));
            if (classes::isSettingsRow(number)) continue;
            out << QStringList{number, rs->text(QStringLiteral("姓名")), rs->text(QStringLiteral("js0")),
                               rs->text(QStringLiteral("js1")), rs->text(QStringLiteral("js2"))}
                       .join(u'|');
        }
        return out;
    }
    ImportRequest request(const TableRows& rows) {
        ImportRequest r;
        r.rows = rows;
        r.columns = guessImportColumns(rows.value(0), model.classData());
        return r;
    }
    QTemporaryDir dir;
};

TEST_F(ImportTest, GuessFromTheHeadingRow) {
    const QStringList heading{
        QStringLiteral("序号"), QStringLiteral("编号"), QStringLiteral("学生姓名"), QStringLiteral(" 数 学 "),
        QStringLiteral("语文"), QStringLiteral("学号"), QStringLiteral("物理"),     QString()};
    EXPECT_EQ(guessImportColumns(heading, model.classData()),
              (QList<int>{kImportSkip, kImportNumber, kImportName, kImportFirstSubject + 1,
                          kImportFirstSubject, kImportSkip, kImportSkip, kImportSkip}));
    EXPECT_EQ(importChoices(model.classData()),
              (QStringList{"不导入", "学号", "姓名", "语文", "数学", "英语"}));
    EXPECT_TRUE(looksLikeHeading(heading, model.classData()));
    EXPECT_FALSE(looksLikeHeading({"1001", "张三", "90"}, model.classData()));
}

TEST_F(ImportTest, CsvInGb18030AddsNewNumbersAndUpdatesExistingOnes) {
    const QString text = QStringLiteral("学号,姓名,语文,备注,英语\r\n"
                                        "1001,张三,91,,\r\n"
                                        "1002,\"欧阳,明\",88.5,转学,76\r\n"
                                        ",,,,\r\n"
                                        "1003,\"李\"\"小\"\"龙\",,,60\r\n");
    QStringEncoder encode("GB18030");
    const QString path = dir.filePath(QStringLiteral("名单.csv"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(encode.encode(text));
    f.close();
    TableRows rows;
    ASSERT_TRUE(shell::readTableFile(path, rows));
    ImportCheck check;
    ASSERT_TRUE(checkImport(model, request(rows), &check));
    EXPECT_TRUE(check.problems.isEmpty()) << qPrintable(check.lines().join(u'\n'));
    EXPECT_EQ(check.added, 2);
    EXPECT_EQ(check.updated, 1);

    const Outcome out = importStudents(model, request(rows));
    ASSERT_TRUE(out) << qPrintable(out.messages.join(u'\n'));
    EXPECT_EQ(out.messages, QStringList{QStringLiteral("导入完成：新增2位学生，更新1位学生！")});
    // An empty score cell leaves the score as it was (0 for a new student).
    EXPECT_EQ(students(),
              (QStringList{"1001|张三|91|0|0", "1002|欧阳,明|88.5|0|76", "1003|李\"小\"龙|0|0|60"}));
    // The score window shows the result: three students in the score table.
    EXPECT_EQ(model.scoreGrid().text(3, 1), QStringLiteral("李\"小\"龙"));
}

TEST_F(ImportTest, XlsxWrittenBySpreadsheetWriter) {
    const QString path = dir.filePath(QStringLiteral("成绩.xlsx"));
    {
        shell::SpreadsheetWriter book(path);
        const QStringList heading{"姓名", "学号", "数学"};
        for (int c = 0; c < heading.size(); ++c)
            book.setText(1, c + 1, heading[c]);
        book.setText(2, 1, QStringLiteral("王五"));
        book.setNumber(2, 2, 1004);
        book.setNumber(2, 3, 99.5);
        book.setText(3, 1, QStringLiteral("张三丰")); // row 4 left empty, row 5 below it
        book.setText(3, 2, QStringLiteral("1001"));
        book.setNumber(3, 3, 0.1 + 0.2);
        book.setText(5, 2, QStringLiteral("1005"));
        book.setText(5, 1, QStringLiteral("赵六"));
        ASSERT_TRUE(book.save());
    }
    TableRows rows;
    ASSERT_TRUE(shell::readTableFile(path, rows));
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[1], (QStringList{"王五", "1004", "99.5"}));
    EXPECT_EQ(rows[2], (QStringList{"张三丰", "1001", "0.3"}));
    EXPECT_TRUE(rows[3].isEmpty());
    ASSERT_TRUE(importStudents(model, request(rows)));
    EXPECT_EQ(students(), (QStringList{"1001|张三丰|0|0.3|0", "1004|王五|0|99.5|0", "1005|赵六|0|0|0"}));
}

TEST_F(ImportTest, XlsMadeByLibreOffice) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "soffice (LibreOffice) is not installed: no .xls fixture can be made";
    const QString csv = dir.filePath(QStringLiteral("roster.csv"));
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("学号,姓名,英语\n2001,\"钱,七\",85\n2002,孙八,92.25\n").toUtf8());
    f.close();
    QProcess p;
    // A profile of its own, so that a LibreOffice the user has open is not involved.
    const QString profile = QUrl::fromLocalFile(dir.filePath(QStringLiteral("lo-profile"))).toString();
    p.start(soffice, {QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--headless"),
                      QStringLiteral("--infilter=CSV:44,34,76,1"), QStringLiteral("--convert-to"),
                      QStringLiteral("xls"), QStringLiteral("--outdir"), dir.path(), csv});
    ASSERT_TRUE(p.waitForFinished(120000));
    const QString xls = dir.filePath(QStringLiteral("roster.xls"));
    ASSERT_TRUE(QFile::exists(xls)) << p.readAllStandardError().toStdString();

    TableRows rows;
    ASSERT_TRUE(shell::readTableFile(xls, rows));
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[1], (QStringList{"2001", "钱,七", "85"}));
    ASSERT_TRUE(importStudents(model, request(rows)));
    EXPECT_EQ(students(), (QStringList{"1001|张三|0|0|0", "2001|钱,七|0|0|85", "2002|孙八|0|0|92.25"}));
}

TEST_F(ImportTest, FaultyRowsAreListedAndNothingIsWrittenUntilConfirmed) {
    const TableRows rows{
        {"学号", "姓名", "语文"},
        {"3001", "甲", "80"},
        {"3001", "乙", "81"},               // row 3: the same number as row 2
        {"listKM3", "丙", "82"},            // row 4: a settings row's number
        {"12345678901", "丁", "83"},        // row 5: 11 characters
        {"3002", QString(51, u'名'), "84"}, // row 6: a name of 51 characters
        {"3003", "戊", "八十五"},           // row 7: not a number
        {"", "己", "86"},                   // row 8: no number
        {"3004", "", "87"},                 // row 9: a new student without a name
        {"1001", "", "88"},                 // row 10: an existing one needs none
    };
    ImportCheck check;
    ASSERT_TRUE(checkImport(model, request(rows), &check));
    QList<int> faulty;
    for (const ImportProblem& p : check.problems)
        faulty << p.row;
    EXPECT_EQ(faulty, (QList<int>{3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(check.lines().value(0), QStringLiteral("第3行：学号“3001”与第2行重复"));
    EXPECT_EQ(check.added, 1);
    EXPECT_EQ(check.updated, 1);

    const QStringList before = snapshot();
    const Outcome refused = importStudents(model, request(rows));
    EXPECT_EQ(refused.reason, Reason::Invalid);
    EXPECT_EQ(refused.messages.size(), 1 + 7);
    EXPECT_EQ(snapshot(), before);

    ImportRequest confirmed = request(rows);
    confirmed.skipFaulty = true;
    ASSERT_TRUE(importStudents(model, confirmed));
    EXPECT_EQ(students(), (QStringList{"1001|张三|88|0|0", "3001|甲|80|0|0"}));
}

TEST_F(ImportTest, NamesAndNumbersWithControlsOrDirectionMarksAreRefused) {
    const TableRows rows{
        {"学号", "姓名", "语文"},
        {"3001", "甲", "80"},
        {"3002", QStringLiteral("张\n伟"), "81"},     // row 3: a line break
        {"3003", QStringLiteral("李\u202E四"), "82"}, // row 4: a right-to-left override
        {QStringLiteral("30\t04"), "王五", "83"},     // row 5: a tab in the number
        {"3005", QStringLiteral("赵\u0007六"), "84"}, // row 6: a control character
    };
    ImportCheck check;
    ASSERT_TRUE(checkImport(model, request(rows), &check));
    QList<int> faulty;
    for (const ImportProblem& p : check.problems)
        faulty << p.row;
    EXPECT_EQ(faulty, (QList<int>{3, 4, 5, 6}));
    EXPECT_EQ(check.lines().value(0), QStringLiteral("第3行：姓名含有换行符、控制字符或文字方向符号"));
    EXPECT_EQ(check.lines().value(2), QStringLiteral("第5行：学号含有换行符、控制字符或文字方向符号"));

    const QStringList before = snapshot();
    EXPECT_EQ(importStudents(model, request(rows)).reason, Reason::Invalid);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(ImportTest, MappingRefusals) {
    const TableRows rows{{"1001", "张三", "90"}};
    ImportRequest r;
    r.rows = rows;
    r.headingRow = false;
    const QStringList before = snapshot();
    struct Case {
        const char* what;
        QList<int> columns;
        Reason reason;
    };
    for (const Case& c : std::vector<Case>{
             {"no number column", {kImportSkip, kImportName, kImportFirstSubject}, Reason::NotChosen},
             {"two columns for one subject",
              {kImportNumber, kImportFirstSubject, kImportFirstSubject},
              Reason::Invalid},
         }) {
        SCOPED_TRACE(c.what);
        r.columns = c.columns;
        EXPECT_EQ(importStudents(model, r).reason, c.reason);
        EXPECT_EQ(snapshot(), before);
    }
    model.closeClass();
    r.columns = {kImportNumber, kImportName};
    EXPECT_EQ(importStudents(model, r).reason, Reason::NotOpen);
}

TEST_F(ImportTest, OneTransactionUnderAFailingWrite) {
    // Another program's trigger refuses the third new student: the two
    // before it and the update of 1001 must not stay either.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(dbPath().toUtf8().constData(), &db), SQLITE_OK);
    const QByteArray sql =
        "CREATE TRIGGER refuse BEFORE INSERT ON \"" + cls.workingClass().toUtf8() +
        "\" WHEN NEW.\"编号\" = '4003' BEGIN SELECT RAISE(ABORT, 'refused by a trigger'); END";
    ASSERT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    const TableRows rows{{"学号", "姓名", "语文"}, {"1001", "张三", "99"}, {"4001", "甲", "1"},
                         {"4002", "乙", "2"},      {"4003", "丙", "3"},    {"4004", "丁", "4"}};
    const QStringList before = snapshot();
    const Outcome out = importStudents(model, request(rows));
    EXPECT_EQ(out.reason, Reason::Failed);
    ASSERT_FALSE(out.messages.isEmpty());
    EXPECT_TRUE(out.messages[0].startsWith(QStringLiteral("保存失败："))) << qPrintable(out.messages[0]);
    EXPECT_EQ(snapshot(), before);

    // The model reads the class as stored afterwards: a later import works.
    const TableRows fine{{"学号", "姓名", "语文"}, {"1001", "张三", "99"}};
    ASSERT_TRUE(importStudents(model, request(fine)));
    EXPECT_EQ(students(), QStringList{"1001|张三|99|0|0"});
}

TEST_F(ImportTest, ReadOnlyDatabaseRefusesTheWholeImport) {
    model.closeClass();
    const QString name = cls.workingClass();
    QFile::setPermissions(dbPath(), QFile::ReadOwner);
    if (QFile(dbPath()).open(QIODevice::ReadWrite))
        GTEST_SKIP() << "running as root: files cannot be read-only";
    ScoresFixture::cls.open(classes::ClassState::Taker::Scores, name);
    model.classOpened(name);
    const QStringList before = snapshot();
    const Outcome out = importStudents(model, request({{"学号", "姓名"}, {"5001", "甲"}, {"1001", "张三"}}));
    EXPECT_EQ(out.reason, Reason::Failed);
    EXPECT_EQ(snapshot(), before);
    QFile::setPermissions(dbPath(), QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace
