#include "TestSupport.h"
#include "lessons/model/LessonStore.h"
#include "store/Schema.h"
#include "store/Store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace lessons;
using shell::Reason;
using testing_support::DataFolder;

namespace {

// A library on 物理, a subject the program brings no starter plans for, so
// each test starts from an empty table.
struct Library {
    DataFolder folder;
    LessonLibrary lib{folder.file(store::kCommonDb)};
    Library() { lib.SubjectTable(QStringLiteral("物理")); }
    LessonPlan plan(int volume, const QString& topic, const QString& text = QStringLiteral("正文"),
                    const QString& analysis = QStringLiteral("分析"),
                    const QString& address = QStringLiteral("a")) {
        return LessonPlan{volume, topic, text, analysis, address};
    }
    int records(const QString& table = QStringLiteral("jaWLtextData")) {
        auto rs = store::Recordset::OpenTable(folder.file(store::kCommonDb), table);
        return rs ? rs->RecordCount() : -1;
    }
};

} // namespace

TEST(Subjects, ExactNamesOnly) {
    EXPECT_EQ(subjects().size(), 8);
    EXPECT_EQ(tableOfSubject(QStringLiteral("语文")), QStringLiteral("jaywtextdata"));
    EXPECT_EQ(tableOfSubject(QStringLiteral("生物")), QStringLiteral("jaSWtextData"));
    for (const QString& s : {QStringLiteral("政治"), QStringLiteral(" 语文"), QString()})
        EXPECT_EQ(tableOfSubject(s), std::nullopt) << s.toStdString();

    LessonLibrary lib(QStringLiteral("/nowhere.mdb"));
    EXPECT_EQ(lib.currentTable(), kFirstTable);
    EXPECT_TRUE(lib.SubjectTable(QStringLiteral("数学")));
    EXPECT_FALSE(lib.SubjectTable(QStringLiteral("政治")));
    EXPECT_EQ(lib.currentTable(), QStringLiteral("jasxtextdata"));
}

TEST(Subjects, VolumeText) {
    const QList<std::pair<QString, std::optional<int>>> cases{
        {"1", 1},    {"12", 12}, {" 7 ", 7}, {"07", 7},   {"0", {}},   {"13", {}},
        {"abc", {}}, {"", {}},   {"-1", {}}, {"1.5", {}}, {"100", {}}, {"３", {}}, // full-width digit
    };
    for (const auto& [text, want] : cases)
        EXPECT_EQ(parseVolume(text), want) << text.toStdString();
    EXPECT_EQ(volumeCaption(1), QStringLiteral("第一册"));
    EXPECT_EQ(volumeCaption(12), QStringLiteral("第十二册"));
}

TEST(PanelChecks, RefusalsInOrder) {
    const PanelInput good{QStringLiteral("数学"),     QStringLiteral("2"),
                          QStringLiteral("勾股定理"), QStringLiteral("教案"),
                          QStringLiteral("注："),     QStringLiteral("http://x.example/")};
    struct Case {
        const char* what;
        std::function<void(PanelInput&)> change;
        QString message;
    };
    const QList<Case> cases{
        {"blank topic", [](PanelInput& i) { i.topic = QStringLiteral("   "); }, text::enterTopic()},
        // The topic is checked before the plan text.
        {"blank topic and text",
         [](PanelInput& i) {
             i.topic.clear();
             i.text.clear();
         },
         text::enterTopic()},
        // Ten blanks, as a successful add leaves the box.
        {"blank text", [](PanelInput& i) { i.text = QString(10, u' '); }, text::emptyPlan()},
        {"blank analysis", [](PanelInput& i) { i.analysis = QStringLiteral("\n"); }, text::emptyPlan()},
        {"other subject", [](PanelInput& i) { i.subject = QStringLiteral("政治"); }, text::unknownSubject()},
        {"volume abc", [](PanelInput& i) { i.volume = QStringLiteral("abc"); }, text::badVolume()},
        {"volume 13", [](PanelInput& i) { i.volume = QStringLiteral("13"); }, text::badVolume()},
    };
    for (const Case& c : cases) {
        PanelInput in = good;
        c.change(in);
        LessonPlan plan;
        QString table;
        const shell::Outcome o = checkPanelInput(in, &plan, &table);
        EXPECT_EQ(o.reason, Reason::Invalid) << c.what;
        EXPECT_EQ(o.messages, QStringList{c.message}) << c.what;
        EXPECT_TRUE(table.isEmpty()) << c.what;
    }

    LessonPlan plan;
    QString table;
    ASSERT_TRUE(checkPanelInput(good, &plan, &table));
    EXPECT_EQ(table, QStringLiteral("jasxtextdata"));
    EXPECT_EQ(plan.volume, 2);
    EXPECT_EQ(plan.address, QStringLiteral("http://x.example/"));
    // A blank address becomes the maker's page, so every stored plan has one.
    PanelInput noAddress = good;
    noAddress.address = QStringLiteral("  ");
    ASSERT_TRUE(checkPanelInput(noAddress, &plan, &table));
    EXPECT_EQ(plan.address, defaultCoursewareAddress());
    EXPECT_FALSE(plan.address.isEmpty());

    int volume = 0;
    EXPECT_EQ(checkVolumeChoice(QString(), QStringLiteral("1"), &volume, &table).messages,
              QStringList{text::enterTopic()});
    EXPECT_EQ(checkVolumeChoice(QStringLiteral("政治"), QStringLiteral("1"), &volume, &table).messages,
              QStringList{text::unknownSubject()});
    EXPECT_EQ(checkVolumeChoice(QStringLiteral("语文"), QStringLiteral("13"), &volume, &table).messages,
              QStringList{text::badVolume()});
    ASSERT_TRUE(checkVolumeChoice(QStringLiteral("英语"), QStringLiteral("3"), &volume, &table));
    EXPECT_EQ(volume, 3);
    EXPECT_EQ(table, QStringLiteral("jaYYtextData"));
}

TEST(LessonTable, AddOncePerVolumeAndLoad) {
    Library l;
    const shell::Outcome first = l.lib.AddLesson(l.plan(1, QStringLiteral("浮力")));
    ASSERT_TRUE(first);
    EXPECT_EQ(first.messages, QStringList{text::added()});
    const shell::Outcome again = l.lib.AddLesson(l.plan(1, QStringLiteral("浮力"), QStringLiteral("另一篇")));
    EXPECT_EQ(again.reason, Reason::Exists);
    EXPECT_EQ(again.messages, QStringList{text::topicExists()});
    ASSERT_TRUE(l.lib.AddLesson(l.plan(2, QStringLiteral("浮力"), QStringLiteral("第二册的"))));
    // Topics compare exactly: a trailing blank is another topic.
    ASSERT_TRUE(l.lib.AddLesson(l.plan(1, QStringLiteral("浮力 "))));
    EXPECT_EQ(l.records(), 3);

    LessonPlan got;
    bool empty = true;
    ASSERT_TRUE(l.lib.LoadLesson(2, QStringLiteral("浮力"), &got, &empty));
    EXPECT_FALSE(empty);
    EXPECT_EQ(got.text, QStringLiteral("第二册的"));
    EXPECT_EQ(got.address, QStringLiteral("a"));
    const shell::Outcome missing = l.lib.LoadLesson(3, QStringLiteral("浮力"), &got);
    EXPECT_EQ(missing.reason, Reason::NotFound);
    EXPECT_EQ(missing.messages, QStringList{text::topicMissing()});

    QStringList topics;
    ASSERT_TRUE(l.lib.ListTopics(1, &topics));
    EXPECT_EQ(topics, (QStringList{QStringLiteral("浮力"), QStringLiteral("浮力 ")}));
    ASSERT_TRUE(l.lib.ListTopics(3, &topics));
    EXPECT_TRUE(topics.isEmpty());
    // Another subject's table holds none of them.
    l.lib.SubjectTable(QStringLiteral("化学"));
    ASSERT_TRUE(l.lib.ListTopics(1, &topics));
    EXPECT_TRUE(topics.isEmpty());
    EXPECT_TRUE(l.lib.LoadLesson(1, QStringLiteral("浮力"), &got, &empty).reason == Reason::NotFound);
    EXPECT_TRUE(empty);
}

TEST(LessonTable, UpdateKeepsVolumeAndTopic) {
    Library l;
    ASSERT_TRUE(l.lib.AddLesson(l.plan(1, QStringLiteral("电路"))));
    const shell::Outcome other = l.lib.UpdateLesson(l.plan(2, QStringLiteral("电路"), QStringLiteral("新")));
    EXPECT_EQ(other.reason, Reason::NotFound);
    EXPECT_EQ(other.messages, QStringList{text::topicMissing()});

    const shell::Outcome done =
        l.lib.UpdateLesson(l.plan(1, QStringLiteral("电路"), QStringLiteral("新正文"),
                                  QStringLiteral("新分析"), QStringLiteral("/home/t/电路.odp")));
    ASSERT_TRUE(done);
    EXPECT_EQ(done.messages, QStringList{text::updated()});
    // Read back from the file by a fresh cursor.
    auto rs = store::Recordset::OpenTable(l.folder.file(store::kCommonDb), QStringLiteral("jaWLtextData"));
    ASSERT_TRUE(rs);
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->Fields(0).toInt(), 1);
    EXPECT_EQ(rs->text(1), QStringLiteral("电路"));
    EXPECT_EQ(rs->text(2), QStringLiteral("新正文"));
    EXPECT_EQ(rs->text(3), QStringLiteral("新分析"));
    EXPECT_EQ(rs->text(4), QStringLiteral("/home/t/电路.odp"));
}

TEST(LessonTable, LongTopicAndAddressRefusedWithTheLimit) {
    Library l;
    const QString topic100(100, u'课');
    const QString address2048 = QStringLiteral("https://x.example/") + QString(2048 - 18, u'a');
    // At the limit: stored. A web address longer than 255 fits.
    ASSERT_TRUE(l.lib.AddLesson(l.plan(1, topic100, QStringLiteral("t"), QStringLiteral("a"), address2048)));
    // An emoji counts once, as the store counts it.
    ASSERT_TRUE(l.lib.AddLesson(l.plan(2, QString(99, u'课') + QStringLiteral("😀"))));

    const shell::Outcome longTopic = l.lib.AddLesson(l.plan(1, topic100 + u'x'));
    EXPECT_EQ(longTopic.reason, Reason::Invalid);
    EXPECT_EQ(longTopic.messages, QStringList{text::topicTooLong(100)});
    EXPECT_TRUE(longTopic.messages.first().contains(QStringLiteral("100")));
    const shell::Outcome longAddress = l.lib.AddLesson(
        l.plan(3, QStringLiteral("短"), QStringLiteral("t"), QStringLiteral("a"), address2048 + u'a'));
    EXPECT_EQ(longAddress.messages, QStringList{text::addressTooLong(2048)});
    const shell::Outcome longUpdate = l.lib.UpdateLesson(
        l.plan(1, topic100, QStringLiteral("新"), QStringLiteral("a"), address2048 + u'a'));
    EXPECT_EQ(longUpdate.reason, Reason::Invalid);
    EXPECT_EQ(l.records(), 2);
    LessonPlan kept;
    ASSERT_TRUE(l.lib.LoadLesson(1, topic100, &kept));
    EXPECT_EQ(kept.text, QStringLiteral("t"));
}

TEST(LessonTable, FailedWriteKeepsTheRecordAndSaysWhy) {
    Library l;
    ASSERT_TRUE(l.lib.AddLesson(l.plan(1, QStringLiteral("光"))));
    // The file refuses every write to the table (as a full disk would),
    // whoever runs the test.
    const QString path = l.folder.file(store::kCommonDb);
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        for (const char* sql : {"CREATE TRIGGER no_add BEFORE INSERT ON jaWLtextData BEGIN SELECT "
                                "RAISE(ABORT, 'disk full'); END",
                                "CREATE TRIGGER no_edit BEFORE UPDATE ON jaWLtextData BEGIN SELECT "
                                "RAISE(ABORT, 'disk full'); END"})
            EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    const shell::Outcome added = l.lib.AddLesson(l.plan(2, QStringLiteral("声")));
    const shell::Outcome updated = l.lib.UpdateLesson(l.plan(1, QStringLiteral("光"), QStringLiteral("改")));
    for (const shell::Outcome& o : {added, updated}) {
        EXPECT_EQ(o.reason, Reason::Failed);
        ASSERT_EQ(o.messages.size(), 1);
        // The store's reason, never a success text.
        EXPECT_TRUE(o.messages.first().startsWith(QStringLiteral("保存失败：")))
            << o.messages.first().toStdString();
        EXPECT_TRUE(o.messages.first().contains(QStringLiteral("disk full")))
            << o.messages.first().toStdString();
    }
    LessonPlan kept;
    ASSERT_TRUE(l.lib.LoadLesson(1, QStringLiteral("光"), &kept));
    EXPECT_EQ(kept.text, QStringLiteral("正文"));
    EXPECT_EQ(l.records(), 1);
}

TEST(LessonTable, MissingFileOrTable) {
    DataFolder folder(false);
    LessonLibrary lib(folder.file(store::kCommonDb));
    QStringList topics;
    EXPECT_EQ(lib.ListTopics(1, &topics).reason, Reason::NotOpen);
    EXPECT_EQ(lib.AddLesson(LessonPlan{1, "t", "x", "y", "z"}).reason, Reason::NotOpen);
    EXPECT_FALSE(lib.AddLesson(LessonPlan{1, "t", "x", "y", "z"}).messages.isEmpty());
}

TEST(LessonTable, ReferenceLastMatchWinsEmptyFieldsKeepEarlier) {
    Library l;
    // One topic in two volumes: the record stored last gives the text.
    ASSERT_TRUE(l.lib.AddLesson(l.plan(1, QStringLiteral("力"), QStringLiteral("一"),
                                       QStringLiteral("分析一"), QStringLiteral("addr1"))));
    ASSERT_TRUE(l.lib.AddLesson(l.plan(4, QStringLiteral("力"), QStringLiteral("四"), QString(), QString())));
    Reference ref;
    ASSERT_TRUE(l.lib.FindReference(QStringLiteral("力"), &ref));
    EXPECT_TRUE(ref.found);
    EXPECT_EQ(ref.text, QStringLiteral("四"));
    EXPECT_EQ(ref.analysis, QStringLiteral("分析一"));
    EXPECT_EQ(ref.address, QStringLiteral("addr1"));
    // A volume caption matches no topic.
    ASSERT_TRUE(l.lib.FindReference(QStringLiteral("第一册"), &ref));
    EXPECT_FALSE(ref.found);
}

TEST(LessonTable, IndexByVolumeInStoredOrder) {
    Library l;
    const QString path = l.folder.file(store::kCommonDb);
    // Records written by another program: a volume stored as 2.0, one out
    // of range and one without a volume are read as they are.
    {
        auto rs = store::Recordset::OpenTable(path, QStringLiteral("jaWLtextData"));
        ASSERT_TRUE(rs);
        const QList<std::pair<QVariant, QString>> rows{{3, "c1"},         {1, "a1"}, {2.0, "b1"}, {13, "x"},
                                                       {QVariant(), "y"}, {3, "c2"}, {12, "l1"}};
        for (const auto& [v, t] : rows) {
            rs->AddNew();
            rs->SetField(0, v);
            rs->SetField(1, t);
            ASSERT_TRUE(rs->Update()) << rs->lastError().toStdString();
        }
    }
    VolumeIndex index;
    ASSERT_TRUE(l.lib.readIndex(&index));
    EXPECT_EQ(index.topics[0], QStringList{"a1"});
    EXPECT_EQ(index.topics[1], QStringList{"b1"});
    EXPECT_EQ(index.topics[2], (QStringList{"c1", "c2"}));
    EXPECT_EQ(index.topics[11], QStringList{"l1"});
    QStringList v2;
    ASSERT_TRUE(l.lib.ListTopics(2, &v2));
    EXPECT_EQ(v2, QStringList{"b1"});
}
