// Two students of one name (two 王伟): every by-name path of the score
// manager names them apart and acts on the student picked, never merely on
// the first of that name.

#include "ScoresFixture.h"
#include "scores/model/ScoreSortFilter.h"
#include "scores/model/StudentNames.h"

namespace msg = scores::msg;

namespace {

class SameNames : public ScoresFixture {
protected:
    void SetUp() override {
        openClass();
        addSubjects({"语文"});
        for (const auto& [name, number] :
             {std::pair{"王伟", "2023101"}, {"李四", "2023201"}, {"王伟", "2023301"}})
            ASSERT_TRUE(model.addStudent(QString::fromUtf8(name), QString::fromUtf8(number)).ok);
        model.ShowScoreTable();
        model.chooseEntrySubject(0);
    }
    // Each student's 语文 score as "学号=score", stored order.
    QStringList scores() {
        QStringList out;
        auto rs = table();
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext())
            if (!classes::isSettingsRow(rs->text(QStringLiteral("编号"))))
                out << rs->text(QStringLiteral("编号")) + u'=' + rs->text(QStringLiteral("js0"));
        return out;
    }
};

} // namespace

TEST(StudentNames, ListsAndPicksAsShown) {
    const QList<scores::NamedStudent> students{
        {"王伟", "2023101"}, {"李四", "2023201"}, {"王伟", "2023301"}, {"", "2023401"}, {"赵六", "7"}};
    EXPECT_EQ(scores::nameLabels(students),
              (QStringList{"王伟（2023101）", "李四", "王伟（2023301）", "赵六"}));
    const struct {
        const char* text;
        qsizetype index;
        int holders;
    } cases[] = {
        {"王伟（2023301）", 2, 1}, {"王伟（2023101）", 0, 1}, {"李四", 1, 1},
        {"李四（2023201）", 1, 1}, // a unique name typed with its 学号
        {"王伟", -1, 2},           // which 王伟 is not said
        {"王伟（9）", -1, 0},      {"王五", -1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const scores::NamePick p = scores::pickByName(students, QString::fromUtf8(c.text));
        EXPECT_EQ(p.index, c.index);
        if (c.index < 0) {
            EXPECT_EQ(p.holders, c.holders);
        }
    }
}

TEST_F(SameNames, ScoreEntryByNameWritesTheStudentPicked) {
    EXPECT_EQ(model.studentNames(), (QStringList{"王伟（2023101）", "李四", "王伟（2023301）"}));
    // Picking the second 王伟 writes the second 王伟.
    const scores::Outcome o = model.storeScore("语文", true, "王伟（2023301）", "97.5");
    EXPECT_EQ(o.messages, QStringList{msg::kScoreStored});
    EXPECT_EQ(scores(), (QStringList{"2023101=0", "2023201=0", "2023301=97.5"}));
    ASSERT_TRUE(model.storeScore("语文", true, "王伟（2023101）", "60").ok);
    EXPECT_EQ(scores(), (QStringList{"2023101=60", "2023201=0", "2023301=97.5"}));

    // A bare shared name is refused, and nothing is written.
    expectRefusals(
        {{"bare shared name", [&] { return model.storeScore("语文", true, "王伟", "1"); },
          msg::sameNameInList(2, QStringLiteral("王伟"))},
         {"no such 学号 for the name", [&] { return model.storeScore("语文", true, "王伟（2023201）", "1"); },
          msg::kNoSuchNumber}});

    // What a click or "下一个" puts into the by-name combo picks that row.
    EXPECT_EQ(model.studentText(3, true), QStringLiteral("王伟（2023301）"));
    EXPECT_EQ(model.studentText(2, true), QStringLiteral("李四"));
    EXPECT_EQ(model.studentText(3, false), QStringLiteral("2023301"));
}

TEST_F(SameNames, FindByNameShowsTheStudentPicked) {
    EXPECT_EQ(scores::ListNamesForFind(model), (QStringList{"王伟（2023101）", "李四", "王伟（2023301）"}));
    auto found = scores::FindStudent(model, true, QStringLiteral("王伟（2023301）"), {});
    ASSERT_TRUE(found.outcome.ok);
    EXPECT_EQ(model.scoreGrid().text(1, 2), QStringLiteral("2023301"));
    EXPECT_EQ(found.list, (QStringList{"王伟（2023101）", "李四", "王伟（2023301）"}));

    found = scores::FindStudent(model, true, QStringLiteral("王伟"), {});
    EXPECT_FALSE(found.outcome.ok);
    EXPECT_EQ(found.outcome.messages, QStringList{msg::sameNameInList(2, QStringLiteral("王伟"))});
}

TEST_F(SameNames, RenumberChangesTheStudentPickedInTheGrid) {
    // Not knowing which 王伟 is meant, nothing is changed.
    expectRefusals(
        {{"no pick", [&] { return model.renumberStudent("王伟", "2023302"); },
          msg::sameNameInRoster(2, QStringLiteral("王伟"))},
         {"picked another student", [&] { return model.renumberStudent("王伟", "2023302", "2023201"); },
          msg::sameNameInRoster(2, QStringLiteral("王伟"))}});
    const scores::Outcome o = model.renumberStudent("王伟", "2023302", "2023301");
    EXPECT_EQ(o.messages, QStringList{msg::kRenumbered});
    EXPECT_EQ(scores(), (QStringList{"2023101=0", "2023201=0", "2023302=0"}));
    // A name held once needs no pick.
    ASSERT_TRUE(model.renumberStudent("李四", "2023202").ok);
    EXPECT_EQ(scores(), (QStringList{"2023101=0", "2023202=0", "2023302=0"}));
}

// Hostile names are refused on every path that sets one, with a message, and
// nothing is written.
TEST_F(ScoresFixture, NamesWithControlsOrBidiMarksAreRefusedEverywhere) {
    openClass();
    addSubjects({"语文"});
    ASSERT_TRUE(model.addStudent("张三", "1").ok);
    const QString newline = QStringLiteral("王\n伟");
    const QString override = QStringLiteral("\u202E伟王");
    const QString nonchar = QStringLiteral("王") + QChar(0xFFFE);
    const QString huge = QStringLiteral("伟").repeated(100000);
    const QString control = QStringLiteral("学生姓名不能包含换行符或控制字符，请重做！");
    const QString bidi = QStringLiteral("学生姓名不能包含文字方向控制符，请重做！");
    expectRefusals({
        {"add, newline", [&] { return model.addStudent(newline, "2"); }, control},
        {"add, override", [&] { return model.addStudent(override, "2"); }, bidi},
        {"add, U+FFFE", [&] { return model.addStudent(nonchar, "2"); },
         QStringLiteral("学生姓名含有无效的字符，请重做！")},
        {"add, 100,000 characters", [&] { return model.addStudent(huge, "2"); }, msg::kNameTooLong},
        {"add, number with a tab", [&] { return model.addStudent("李四", "2\t3"); },
         QStringLiteral("学生学号不能包含换行符或控制字符，请重做！")},
        {"rename, newline", [&] { return model.renameStudent(newline, "1"); }, control},
        {"rename, isolate", [&] { return model.renameStudent(QStringLiteral("张\u2066三"), "1"); }, bidi},
        {"renumber, mark", [&] { return model.renumberStudent("张三", QStringLiteral("2\u200F")); },
         QStringLiteral("学生学号不能包含文字方向控制符，请重做！")},
        {"subject, newline", [&] { return model.addSubject(QStringLiteral("数\n学"), "100"); },
         QStringLiteral("科目名称不能包含换行符或控制字符，请重做！")},
    });
    // A new class: nothing is created and "files" stays as it was.
    const QStringList files = tableTexts(dbPath(), QStringLiteral("files"));
    const struct {
        QString name, message;
    } classes[] = {
        {QStringLiteral("初一\n2班"), QStringLiteral("文件名不能包含换行符或控制字符，请重做！")},
        {QStringLiteral("初一\u202E2班"), QStringLiteral("文件名不能包含文字方向控制符，请重做！")},
        {QStringLiteral("班").repeated(51), QStringLiteral("文件名不能超过50个字符，请重做！")},
    };
    for (const auto& c : classes) {
        const scores::Outcome o = classes::ClassFiles::create(c.name, false);
        EXPECT_EQ(o.reason, scores::Reason::Invalid);
        EXPECT_EQ(o.messages, QStringList{c.message});
        EXPECT_FALSE(classes::ClassFiles::exists(c.name));
    }
    EXPECT_EQ(tableTexts(dbPath(), QStringLiteral("files")), files);
}
