#include "ScoresFixture.h"

namespace msg = scores::msg;

namespace {
QStringList roster(const scores::ScoreModel& m, int col) {
    QStringList out;
    for (int r = 1; r < m.classData().rowCount; ++r)
        out << m.scoreGrid().text(r, col);
    return out;
}
} // namespace

// ---------------------------------------------------------------- roster

TEST_F(ScoresFixture, ManualAddRenameRenumberDelete) {
    openClass();
    auto o = model.addStudent(QStringLiteral(" 张三 "), QStringLiteral(" 301 "));
    EXPECT_TRUE(o.ok);
    EXPECT_EQ(o.messages, QStringList{msg::kAdded});
    EXPECT_EQ(roster(model, 1), QStringList{"张三"});
    EXPECT_EQ(roster(model, 2), QStringList{"301"});
    EXPECT_EQ(model.statusPanel(2), QStringLiteral("共 1 位学生"));
    EXPECT_TRUE(snapshot().last().startsWith(QStringLiteral("你|张三|301|0|0|")));

    EXPECT_EQ(model.addStudent("李四", "301").messages, QStringList{msg::kNumberExists});
    ASSERT_TRUE(model.addStudent("李四", "001").ok); // compared as text: 001 is not 1 or 301

    o = model.renameStudent("李思", "001");
    EXPECT_EQ(o.messages, QStringList{msg::kRenamed});
    EXPECT_EQ(roster(model, 1), (QStringList{"张三", "李思"}));

    // The student's own number counts as taken.
    EXPECT_EQ(model.renumberStudent("李思", "001").messages,
              QStringList{QStringLiteral("该学号已被 < 李思 > 拥有，不能重复！")});
    EXPECT_EQ(model.renumberStudent("王五", "002").messages, QStringList{msg::kNoSuchName});
    EXPECT_EQ(model.renumberStudent("李思", "002").messages, QStringList{msg::kRenumbered});
    EXPECT_EQ(roster(model, 2), (QStringList{"301", "002"}));

    EXPECT_EQ(model.deleteStudent(" 301 ").messages, QStringList{msg::kDeleted});
    EXPECT_EQ(roster(model, 1), QStringList{"李思"});
    EXPECT_EQ(model.viewState().currentRow, 1);
    EXPECT_EQ(model.viewState().printTitle, QStringLiteral("初一1班成绩表"));
}

TEST_F(ScoresFixture, BatchNumbersFollowTheFirstNumber) {
    openClass();
    auto o = model.addBatch(QStringLiteral("0101"), QStringLiteral("3"));
    EXPECT_EQ(o.messages, QStringList{msg::kBatchAdded});
    EXPECT_EQ(roster(model, 2), (QStringList{"0101", "102", "103"}));
    EXPECT_EQ(roster(model, 1), (QStringList{"XXX", "XXX", "XXX"}));
    EXPECT_EQ(model.statusPanel(2), QStringLiteral("共 3 位学生"));
    // A batch does not look at existing numbers; size 2 is enough; 2.5 rounds to 2.
    ASSERT_TRUE(model.addBatch("102", "2").ok);
    ASSERT_TRUE(model.addBatch("7", "2.5").ok);
    EXPECT_EQ(roster(model, 2), (QStringList{"0101", "102", "103", "102", "103", "7", "8"}));
}

TEST_F(ScoresFixture, RosterRefusalsWriteNothing) {
    openClass();
    ASSERT_TRUE(model.addStudent("张三", "301").ok);
    const QString longName(51, QChar(u'名'));
    expectRefusals({
        {"empty name", [&] { return model.addStudent("", "302"); }, msg::kNameOrNumberEmpty},
        {"empty number", [&] { return model.addStudent("李四", ""); }, msg::kNameOrNumberEmpty},
        {"number over 10", [&] { return model.addStudent("李四", "12345678901"); }, msg::kNumberTooLong},
        {"name over 50", [&] { return model.addStudent(longName, "302"); }, msg::kNameTooLong},
        {"settings-like number", [&] { return model.addStudent("李四", "listKM3"); },
         QStringLiteral("学生学号不能以“listKM”开头，请另写！")},
        {"batch size 1", [&] { return model.addBatch("401", "1"); }, msg::kBatchBad},
        {"batch empty first", [&] { return model.addBatch("", "5"); }, msg::kBatchBad},
        {"batch size not a number", [&] { return model.addBatch("401", "abc"); }, msg::kBatchBad},
        {"batch first not a number", [&] { return model.addBatch("A01", "3"); }, msg::kBatchFirstNotNumber},
        // The last number of the batch would be 11 characters long.
        {"batch runs past 10 characters", [&] { return model.addBatch("9999999998", "3"); },
         msg::kNumberTooLong},
        {"batch too large", [&] { return model.addBatch("1", "5000"); }, msg::kBatchTooLarge},
        {"rename unknown number", [&] { return model.renameStudent("李四", "999"); }, msg::kNoSuchNumber},
        {"rename to a long name", [&] { return model.renameStudent(longName, "301"); }, msg::kNameTooLong},
        {"rename a settings row", [&] { return model.renameStudent("数学", "listKM1"); }, msg::kNoSuchNumber},
        {"renumber too long", [&] { return model.renumberStudent("张三", "12345678901"); },
         msg::kNumberTooLong},
        {"renumber empty", [&] { return model.renumberStudent("", "302"); }, msg::kNameOrNumberEmpty},
        {"delete empty number", [&] { return model.deleteStudent(""); }, msg::kNoSuchNumber},
        {"delete settings row", [&] { return model.deleteStudent("listKM0"); }, msg::kNoSuchNumber},
    });
}

TEST_F(ScoresFixture, BlankNameStillCountsAsContent) {
    openClass();
    EXPECT_TRUE(model.addStudent("   ", "5").ok);
    EXPECT_EQ(roster(model, 1), QStringList{""});
}

// ---------------------------------------------------------------- subjects

TEST_F(ScoresFixture, SubjectSlotsAndTheGapBehaviour) {
    openClass();
    addSubjects({"语文", "数学", "英语"});
    ASSERT_TRUE(model.addStudent("张三", "1").ok);
    setField("1", "js1", "66");
    setField("1", "js2", "77");

    ASSERT_TRUE(model.deleteSubject(1, "数学", "100").ok);
    EXPECT_EQ(model.viewState().subjectListItems.mid(0, 3), (QStringList{"语文", "---", "英语"}));
    model.ShowScoreTable();
    // The second subject column is headed 英语 but reads js1, the freed slot's scores.
    EXPECT_EQ(model.scoreGrid().text(0, 4), QStringLiteral("英语"));
    EXPECT_EQ(model.scoreGrid().text(1, 4), QStringLiteral("66"));
    EXPECT_EQ(model.scoreGrid().cols(), 7);
    EXPECT_EQ(model.fullMarksText(1), QStringLiteral("100")); // a free slot keeps its full marks

    // "添加" fills the gap first and finds the old scores there.
    ASSERT_TRUE(model.addSubject("物理", "120").ok);
    EXPECT_EQ(model.viewState().subjectListItems.mid(0, 4), (QStringList{"语文", "物理", "英语", "---"}));
    EXPECT_EQ(model.classData().fullMarks[1], store::Currency::fromInt(120));
    model.ShowScoreTable();
    EXPECT_EQ(model.scoreGrid().text(1, 4), QStringLiteral("66"));

    ASSERT_TRUE(model.changeSubject(2, " 英文 ", "150").ok);
    EXPECT_EQ(model.classData().subjectNames[2], QStringLiteral("英文"));
    EXPECT_EQ(model.fullMarksText(2), QStringLiteral("150"));

    ASSERT_TRUE(model.deleteSubject(2, "英文", "150").ok);
    EXPECT_EQ(model.classData().subjectCount, 2);
}

TEST_F(ScoresFixture, FourteenthSubjectStoresNothingWithoutMessage) {
    openClass();
    for (int k = 0; k < 13; ++k)
        ASSERT_TRUE(model.addSubject(QStringLiteral("科%1").arg(k), "100").ok);
    const QStringList before = snapshot();
    const auto o = model.addSubject("科13", "100");
    EXPECT_FALSE(o.ok);
    EXPECT_TRUE(o.messages.isEmpty());
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(model.viewState().subjectListItems.size(), 13);
    EXPECT_EQ(model.classData().subjectCount, 13);
}

TEST_F(ScoresFixture, SubjectRefusalsWriteNothing) {
    openClass();
    addSubjects({"语文"});
    expectRefusals({
        {"add without name", [&] { return model.addSubject(" ", "100"); }, msg::kSubjectEmpty},
        {"add without full marks", [&] { return model.addSubject("数学", ""); }, msg::kSubjectEmpty},
        {"full marks not a number", [&] { return model.addSubject("数学", "一百"); }, msg::kNumberOnly},
        {"full marks with a slash", [&] { return model.addSubject("数学", "100/2"); }, msg::kNumberOnly},
        {"change not chosen", [&] { return model.changeSubject(-1, "数学", "100"); }, msg::kSubjectNotChosen},
        {"change bad marks", [&] { return model.changeSubject(0, "语文", "x"); }, msg::kNumberOnly},
        {"delete with empty full marks", [&] { return model.deleteSubject(0, "语文", ""); },
         msg::kSubjectEmpty},
        {"delete not chosen", [&] { return model.deleteSubject(-1, "语文", "100"); }, msg::kSubjectNotChosen},
        {"name over 50", [&] { return model.addSubject(QString(51, u'科'), "100"); }, msg::kSubjectTooLong},
    });
}

// ---------------------------------------------------------------- score entry

TEST_F(ScoresFixture, ScoreEntryByNumberAndByName) {
    openClass();
    addSubjects({"语文", "数学", "英语"});
    ASSERT_TRUE(model.addStudent("张三", "1").ok);
    ASSERT_TRUE(model.addStudent("李四", "2").ok);
    EXPECT_EQ(model.studentNumbers(), (QStringList{"1", "2"}));
    EXPECT_EQ(model.studentNames(), (QStringList{"张三", "李四"}));
    model.ShowScoreTable();

    model.chooseEntrySubject(0);
    auto o = model.storeScore("语文", false, "1", "85");
    EXPECT_EQ(o.messages, QStringList{msg::kScoreStored});
    model.chooseEntrySubject(1);
    ASSERT_TRUE(model.storeScore("数学", false, " 1 ", "90").ok);
    // A name typed into the subject combo chooses that subject.
    ASSERT_TRUE(model.storeScore("英语", true, "张三", "78").ok);
    EXPECT_EQ(model.viewState().entrySubject, 2);
    EXPECT_EQ(model.scoreGrid().text(1, 6), QStringLiteral("253"));
    EXPECT_EQ(model.scoreGrid().text(1, 7), QStringLiteral("84.3333333333333"));

    // Above the full marks is stored unchanged.
    ASSERT_TRUE(model.storeScore("英语", true, "李四", "120").ok);
    EXPECT_EQ(model.scoreGrid().text(2, 5), QStringLiteral("120"));

    // An empty box stores 0 after telling so.
    o = model.storeScore("英语", false, "2", " ");
    EXPECT_TRUE(o.ok);
    EXPECT_EQ(o.messages, (QStringList{msg::kEmptyScore, msg::kScoreStored}));
    EXPECT_EQ(model.scoreGrid().text(2, 5), QStringLiteral("0"));
}

TEST_F(ScoresFixture, ScoreEntryRefusalsWriteNothing) {
    openClass();
    addSubjects({"语文", "数学"});
    ASSERT_TRUE(model.addStudent("张三", "1").ok);
    const QStringList before = snapshot();
    struct Case {
        const char* what;
        QString subject, student, score;
        bool byName;
        QStringList messages;
    };
    const Case cases[] = {
        {"no subject", "", "1", "80", false, {msg::kNoEntrySubject}},
        {"typed subject that is none", "体育", "1", "80", false, {msg::kUnknownSubject}},
        {"score not a number", "语文", "1", "8a", false, {msg::kNumberOnly}},
        {"score with two points", "语文", "1", "8.5.1", false, {msg::kNumberOnly}},
        {"unknown number", "语文", "9", "80", false, {msg::kNoSuchNumber}},
        {"unknown name", "语文", "王五", "80", true, {msg::kNoSuchNumber}},
        {"settings row by number", "语文", "listKM0", "80", false, {msg::kNoSuchNumber}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const scores::Outcome o = model.storeScore(c.subject, c.byName, c.student, c.score);
        EXPECT_FALSE(o.ok);
        EXPECT_EQ(o.messages, c.messages);
        EXPECT_EQ(snapshot(), before);
    }
}

// Whoever hands it over, the file's own tables are never opened as a class,
// so neither a student nor a subject can be written into them.
TEST_F(ScoresFixture, TheFilesOwnTablesAreNoClass) {
    openClass();
    const QStringList files = tableTexts(dbPath(), QStringLiteral("files"));
    const QStringList bak = tableTexts(dbPath(), QStringLiteral("dataBak"));
    for (const char* name : {"files", "FILES", "databak", "sqlite_master"}) {
        SCOPED_TRACE(name);
        const scores::Outcome o = model.classOpened(QString::fromLatin1(name));
        EXPECT_FALSE(o.ok);
        EXPECT_EQ(o.messages, QStringList{classes::ClassFiles::kMsgNotAClass});
        EXPECT_FALSE(cls.scoresOpen());
        // Even with the shared state naming it, nothing reaches the table.
        cls.open(classes::ClassState::Taker::Scores, QString::fromLatin1(name));
        EXPECT_FALSE(model.addStudent("张三", "1").ok);
        EXPECT_FALSE(model.addSubject("语文", "100").ok);
        EXPECT_FALSE(model.addBatch("1", "3").ok);
        cls.close(classes::ClassState::Taker::Scores);
    }
    EXPECT_EQ(tableTexts(dbPath(), QStringLiteral("files")), files);
    EXPECT_EQ(tableTexts(dbPath(), QStringLiteral("dataBak")), bak);
}

// Names are limited in characters, as the teacher counts them: a character
// outside the basic plane (an emoji, a rare CJK character) is one, not two.
TEST_F(ScoresFixture, NameLimitsCountCharacters) {
    openClass();
    const auto repeat = [](const QString& c, int n) { return c.repeated(n); };
    const QString face = QStringLiteral("😀");  // two UTF-16 units
    const QString rare = QStringLiteral("𠀋"); // CJK Extension B, two units
    ASSERT_EQ(face.size(), 2);
    struct Case {
        const char* what;
        std::function<scores::Outcome()> run;
        bool ok;
        QString message;
    };
    const Case cases[] = {
        {"name of 26 emoji", [&] { return model.addStudent(repeat(face, 26), "1"); }, true, msg::kAdded},
        {"name of 50 rare characters", [&] { return model.addStudent(repeat(rare, 50), "2"); }, true,
         msg::kAdded},
        {"name of 51", [&] { return model.addStudent(repeat(face, 51), "3"); }, false, msg::kNameTooLong},
        {"number of 10", [&] { return model.addStudent("张三", repeat(face, 10)); }, true, msg::kAdded},
        {"number of 11", [&] { return model.addStudent("李四", repeat(face, 11)); }, false,
         msg::kNumberTooLong},
        {"rename to 50", [&] { return model.renameStudent(repeat(rare, 50), "1"); }, true, msg::kRenamed},
        {"rename to 51", [&] { return model.renameStudent(repeat(rare, 51), "1"); }, false,
         msg::kNameTooLong},
        {"subject of 50", [&] { return model.addSubject(repeat(face, 50), "100"); }, true, QString()},
        {"subject of 51", [&] { return model.addSubject(repeat(face, 51), "100"); }, false,
         msg::kSubjectTooLong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const scores::Outcome o = c.run();
        EXPECT_EQ(o.ok, c.ok);
        EXPECT_EQ(o.messages, c.message.isEmpty() ? QStringList() : QStringList{c.message});
    }
    // Stored whole.
    const QStringList rows = snapshot();
    EXPECT_TRUE(rows.contains(QStringLiteral("你|%1|1|0|0|0|0|0|0|0|0|0|0|0|0|0").arg(repeat(rare, 50))));
    EXPECT_TRUE(rows.contains(QStringLiteral("你|张三|%1|0|0|0|0|0|0|0|0|0|0|0|0|0").arg(repeat(face, 10))));
    EXPECT_EQ(model.classData().subjectNames[0], repeat(face, 50));
}
