#include "CommentsFixture.h"

#include "comments/model/PhraseLibrary.h"
#include "shell/core/StarterContent.h"

using comments::Student;
using comments::Target;
using shell::Reason;
namespace cm = comments;

TEST_F(CommentClass, NewClassListsTheSampleStudentWithItsComment) {
    QList<Student> list;
    ASSERT_TRUE(writer.students(list));
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].name, QStringLiteral("学生姓名"));
    const auto shown = writer.find(Target{QStringLiteral("学生姓名")});
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->comment, QStringLiteral("评语："));
    EXPECT_EQ(shown->number, QStringLiteral("10001"));

    // A score class shows its students (named rows that are no settings rows).
    ASSERT_TRUE(scores::ClassFiles::create(QStringLiteral("成绩班"), false));
    classes.open(scores::ClassState::Taker::CommentWorking, QStringLiteral("成绩班"));
    ASSERT_TRUE(writer.students(list));
    EXPECT_TRUE(list.isEmpty());

    classes.close(scores::ClassState::Taker::CommentWorking);
    EXPECT_EQ(writer.students(list).reason, Reason::NotOpen);
}

TEST_F(CommentClass, AStudentNamedLikeASubjectNeverReachesTheSettingsRows) {
    // The score manager keeps its subjects in the settings rows: the name
    // in "姓名" of the first free slot.
    execSql(dbPath(),
            QStringLiteral("UPDATE \"%1\" SET \"姓名\" = '语文' WHERE \"编号\" = 'listKM0'").arg(cls));
    const QStringList settingsBefore = rows().mid(0, 13);
    ASSERT_TRUE(std::any_of(settingsBefore.begin(), settingsBefore.end(),
                            [](const QString& r) { return r.contains(QStringLiteral("语文")); }));

    // Not a student yet: saving adds one, with zero scores; saving again
    // changes only its comment.
    ASSERT_TRUE(
        writer.save(Target{}, QStringLiteral(" 语文 "), QStringLiteral("20"), QStringLiteral("认真。")));
    ASSERT_TRUE(
        writer.save(Target{}, QStringLiteral("语文"), QStringLiteral("20"), QStringLiteral("很认真。")));
    const QStringList after = rows();
    EXPECT_EQ(after.mid(0, 13), settingsBefore);
    ASSERT_EQ(after.size(), 15);
    EXPECT_EQ(after.last(), QStringLiteral("很认真。|语文|20|0|0|0|0|0|0|0|0|0|0|0|0|0"));

    // Lookups and renames see only students.
    EXPECT_EQ(writer.find(Target{QStringLiteral("语文")})->comment, QStringLiteral("很认真。"));
    EXPECT_FALSE(writer.find(Target{QStringLiteral("000")}));
    EXPECT_EQ(writer.rename(Target{QStringLiteral("000")}, QStringLiteral("小明")).reason, Reason::NotFound);
    EXPECT_EQ(writer.studentsWithNumber(QStringLiteral("listKM0")), 0);
    EXPECT_EQ(rows().mid(0, 13), settingsBefore);
}

TEST_F(CommentClass, TwoStudentsOfOneNameKeepTheirOwnComments) {
    addRow(QStringLiteral("王芳"), QStringLiteral("1"), QStringLiteral("甲"));
    addRow(QStringLiteral("王芳"), QStringLiteral("2"), QStringLiteral("乙"));
    const qint64 first = keyOf(QStringLiteral("1")), second = keyOf(QStringLiteral("2"));
    ASSERT_NE(first, second);

    // Picked from the list: that row, and only it.
    EXPECT_EQ(writer.find(Target{QStringLiteral("王芳"), first})->comment, QStringLiteral("甲"));
    qint64 saved = -1;
    ASSERT_TRUE(writer.save(Target{QStringLiteral("王芳"), first}, QStringLiteral("王芳"),
                            QStringLiteral("1"), QStringLiteral("第一位"), &saved));
    EXPECT_EQ(saved, first);
    EXPECT_EQ(writer.find(Target{QStringLiteral("王芳"), first})->comment, QStringLiteral("第一位"));
    EXPECT_EQ(writer.find(Target{QStringLiteral("王芳"), second})->comment, QStringLiteral("乙"));

    // A typed name means every student of it; the one shown is the last.
    EXPECT_EQ(writer.find(Target{QStringLiteral("王芳")})->comment, QStringLiteral("乙"));
    ASSERT_TRUE(writer.save(Target{}, QStringLiteral("王芳"), QStringLiteral("9"), QStringLiteral("同")));
    EXPECT_EQ(writer.find(Target{QStringLiteral("王芳"), first})->comment, QStringLiteral("同"));
    EXPECT_EQ(writer.find(Target{QStringLiteral("王芳"), second})->comment, QStringLiteral("同"));

    // A name typed over a picked student is no longer that student.
    ASSERT_TRUE(writer.save(Target{QStringLiteral("王芳"), first}, QStringLiteral("李雷"),
                            QStringLiteral("3"), QStringLiteral("新来")));
    EXPECT_EQ(writer.find(Target{QStringLiteral("王芳"), first})->comment, QStringLiteral("同"));

    // Renaming the picked second one leaves the first its name.
    ASSERT_TRUE(writer.rename(Target{QStringLiteral("王芳"), second}, QStringLiteral("王小芳")));
    EXPECT_EQ(writer.find(Target{QStringLiteral("王芳"), first})->number, QStringLiteral("1"));
    EXPECT_EQ(writer.find(Target{QStringLiteral("王小芳")})->number, QStringLiteral("2"));
}

TEST_F(CommentClass, ARenameChangesTheRowShownAndNeverAnother) {
    addRow(QStringLiteral("王芳"), QStringLiteral("1"), QStringLiteral("甲"));
    addRow(QStringLiteral("王芳"), QStringLiteral("2"), QStringLiteral("乙"));
    addRow(QStringLiteral("李娜"), QStringLiteral("7"));
    addRow(QStringLiteral("李娜"), QStringLiteral("8"));
    const qint64 seven = keyOf(QStringLiteral("7"));
    const QStringList before = rows();

    // A typed name of two students: no telling which one is meant.
    shell::Outcome o = writer.rename(Target{QStringLiteral("王芳")}, QStringLiteral("王小芳"));
    EXPECT_EQ(o.reason, Reason::Invalid);
    EXPECT_EQ(o.messages, QStringList{cm::kMsgSameNames});
    EXPECT_EQ(rows(), before);

    // The row shown, by its key.
    ASSERT_TRUE(writer.rename(Target{QStringLiteral("李娜"), seven}, QStringLiteral("李娜娜")));
    EXPECT_EQ(writer.find(Target{QStringLiteral("李娜娜")})->number, QStringLiteral("7"));
    // That row no longer carries the old name: the other 李娜 is not taken
    // in its place.
    const QStringList renamed = rows();
    o = writer.rename(Target{QStringLiteral("李娜"), seven}, QStringLiteral("李小娜"));
    EXPECT_EQ(o.reason, Reason::NotFound);
    EXPECT_EQ(rows(), renamed);
}

TEST_F(CommentClass, RefusedSavesAndRenamesWriteNothing) {
    addRow(QStringLiteral("张三"), QStringLiteral("5"));
    const QStringList before = rows();
    const QString text = QStringLiteral("评语");
    struct Case {
        const char* what;
        std::function<shell::Outcome()> run;
        Reason reason;
        QString message;
    };
    const Case cases[] = {
        {"empty name", [&] { return writer.save({}, QStringLiteral("  "), QStringLiteral("1"), text); },
         Reason::Invalid, cm::kMsgNoName},
        {"empty number", [&] { return writer.save({}, QStringLiteral("李四"), QStringLiteral(" "), text); },
         Reason::Invalid, cm::kMsgNoName},
        {"nine characters",
         [&] { return writer.save({}, QStringLiteral("一二三四五六七八九"), QStringLiteral("1"), text); },
         Reason::Invalid, cm::kMsgNameTooLong},
        {"blank comment",
         [&] { return writer.save({}, QStringLiteral("张三"), QStringLiteral("5"), QStringLiteral(" \n ")); },
         Reason::Invalid, cm::kMsgNoComment},
        {"a student's number",
         [&] { return writer.save({}, QStringLiteral("李四"), QStringLiteral("10001"), text); },
         Reason::Exists, cm::kMsgNumberExists},
        {"a settings number",
         [&] { return writer.save({}, QStringLiteral("李四"), QStringLiteral("listKM13"), text); },
         Reason::Invalid, cm::kMsgNumberReserved},
        {"number longer than the field",
         [&] { return writer.save({}, QStringLiteral("李四"), QStringLiteral("12345678901"), text); },
         Reason::Invalid, cm::kMsgNumberTooLong.arg(10)},
        {"rename to a student's name",
         [&] { return writer.rename(Target{QStringLiteral("张三")}, QStringLiteral("学生姓名")); },
         Reason::Exists, cm::kMsgNameExists},
        {"rename a name that is gone",
         [&] { return writer.rename(Target{QStringLiteral("赵六")}, QStringLiteral("钱七")); },
         Reason::NotFound, cm::kMsgNoOldName},
        {"rename to nine characters",
         [&] { return writer.rename(Target{QStringLiteral("张三")}, QStringLiteral("一二三四五六七八九")); },
         Reason::Invalid, cm::kMsgNameTooLong},
        {"no class open",
         [&] {
             classes.close(scores::ClassState::Taker::CommentWorking);
             auto o = writer.save({}, QStringLiteral("张三"), QStringLiteral("5"), text);
             classes.open(scores::ClassState::Taker::CommentWorking, cls);
             return o;
         },
         Reason::NotOpen, cm::kMsgNoClass},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const shell::Outcome o = c.run();
        EXPECT_FALSE(o);
        EXPECT_EQ(o.reason, c.reason);
        EXPECT_EQ(o.messages, QStringList{c.message});
        EXPECT_EQ(rows(), before);
    }
    // Eight characters are a name; the number fills the field exactly.
    EXPECT_TRUE(writer.save({}, QStringLiteral("一二三四五六七八"), QStringLiteral("1234567890"), text));
}

TEST_F(CommentClass, AFailedWriteSaysWhyAndChangesNoRow) {
    addRow(QStringLiteral("王芳"), QStringLiteral("1"), QStringLiteral("甲"));
    addRow(QStringLiteral("王芳"), QStringLiteral("2"), QStringLiteral("乙"));
    // The file refuses the second of the two rows a typed name addresses.
    execSql(dbPath(), QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON \"%1\" WHEN OLD.\"编号\" = '2' "
                                     "BEGIN SELECT RAISE(ABORT, '磁盘已满'); END")
                          .arg(cls));
    const QStringList before = rows();
    const shell::Outcome o =
        writer.save(Target{}, QStringLiteral("王芳"), QStringLiteral("1"), QStringLiteral("新"));
    EXPECT_EQ(o.reason, Reason::Failed);
    ASSERT_EQ(o.messages.size(), 1);
    EXPECT_TRUE(o.messages[0].startsWith(QStringLiteral("保存失败：")));
    EXPECT_TRUE(o.messages[0].contains(QStringLiteral("磁盘已满")));
    EXPECT_EQ(rows(), before);

    const shell::Outcome r =
        writer.rename(Target{QStringLiteral("王芳"), keyOf(QStringLiteral("2"))}, QStringLiteral("王小芳"));
    EXPECT_EQ(r.reason, Reason::Failed);
    EXPECT_EQ(rows(), before);
}

TEST_F(CommentClass, ReferenceCommentComesFromTheReferenceClassStudentsOnly) {
    EXPECT_FALSE(writer.referenceComment(QStringLiteral("学生姓名"))); // none open
    ASSERT_TRUE(scores::ClassFiles::create(QStringLiteral("上学期"), true));
    classes.open(scores::ClassState::Taker::CommentReference, QStringLiteral("上学期"));
    EXPECT_EQ(writer.referenceComment(QStringLiteral("学生姓名")), QStringLiteral("评语："));
    EXPECT_FALSE(writer.referenceComment(QStringLiteral("张三")));
    EXPECT_FALSE(writer.referenceComment(QStringLiteral("000"))); // the settings rows' name
}

TEST(PhraseToAppend, TheCommentNeverReadsYouYou) {
    struct Case {
        const char* comment;
        const char* phrase;
        const char* appended;
    };
    const Case cases[] = {
        {"你", "你待人有礼貌。", "待人有礼貌。"},
        {"同学们都说你", "你乐于助人。", "乐于助人。"},
        {"", "你待人有礼貌。", "你待人有礼貌。"},
        {"你很懂事。", "你乐于助人。", "你乐于助人。"},
        {"你", "待人有礼貌。", "待人有礼貌。"},
        {"你", "你们班", "们班"},
        {"你", "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cm::phraseToAppend(QString::fromUtf8(c.comment), QString::fromUtf8(c.phrase)),
                  QString::fromUtf8(c.appended))
            << c.comment << " + " << c.phrase;

    // A new student's comment "你" with any phrase of the starter bank.
    QString error;
    const auto bank = shell::starterRows(cm::kPhraseTable, &error);
    ASSERT_TRUE(bank) << error.toStdString();
    for (const QStringList& r : bank->rows) {
        const QString comment = QStringLiteral("你") + cm::phraseToAppend(QStringLiteral("你"), r[2]);
        EXPECT_FALSE(comment.contains(QStringLiteral("你你"))) << comment.toStdString();
    }
}

TEST(RandomPhrase, ChoosesOneOfThePhrasesThroughTheSource) {
    const QStringList three{QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")};
    EXPECT_EQ(cm::randomPhrase({}, [](int) { return 0; }), QString());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(cm::randomPhrase(three, [i](int n) { return n == 3 ? i : -1; }), three[i]);
    // The program's source reaches every phrase and no other.
    const cm::RandomSource r = cm::systemRandom();
    QSet<QString> seen;
    for (int i = 0; i < 300; ++i)
        seen.insert(cm::randomPhrase(three, r));
    EXPECT_EQ(seen, QSet<QString>(three.begin(), three.end()));
}
