#include "AnalysisFixture.h"

namespace msg = scores::msg;

// ---------------------------------------------------------------- grid sort

namespace {

// A grid whose column 0 names each row; an empty QStringList is an empty row.
shell::Grid makeGrid(const QList<QStringList>& rows) {
    shell::Grid g(int(rows.size()) + 1, 3);
    g.setText(0, 1, "键1");
    for (int i = 0; i < rows.size(); ++i) {
        if (rows[i].isEmpty()) continue;
        g.setText(i + 1, 0, rows[i][0]);
        for (int c = 1; c < rows[i].size(); ++c)
            g.setText(i + 1, c, rows[i][c]);
    }
    return g;
}

} // namespace

TEST(GridSort, ComparesNumbersAsNumbersBreaksTiesAndKeepsOrder) {
    struct Case {
        const char* what;
        QList<QStringList> rows;
        bool descending;
        QStringList order; // column 0 after the sort
    };
    const Case cases[] = {
        {"numbers, not text", {{"a", "10"}, {"b", "9"}, {"c", "2"}}, false, {"c", "b", "a"}},
        {"text where not both numbers", {{"a", "乙"}, {"b", "甲"}, {"c", "9"}}, false, {"c", "a", "b"}},
        {"tie broken by the next column",
         {{"a", "253", "84"}, {"b", "240", "90"}, {"c", "253", "85"}},
         true,
         {"c", "a", "b"}},
        {"full tie keeps stored order, descending",
         {{"a", "5", "1"}, {"b", "5", "1"}, {"c", "3", "1"}},
         true,
         {"a", "b", "c"}},
        {"full tie keeps stored order, ascending",
         {{"a", "5", "1"}, {"b", "5", "1"}, {"c", "3", "1"}},
         false,
         {"c", "a", "b"}},
        {"empty rows last, ascending", {{}, {"a", "2"}, {}, {"b", "1"}}, false, {"b", "a", "", ""}},
        {"empty rows last, descending", {{}, {"a", "2"}, {}, {"b", "1"}}, true, {"a", "b", "", ""}},
    };
    for (const Case& c : cases) {
        shell::Grid g = makeGrid(c.rows);
        g.setRowHeight(2, 500);
        g.setBackColor(2, 1, 0x123456);
        const QString second = g.text(2, 0);
        scores::sortGrid(g, 1, c.descending);
        EXPECT_EQ(g.column(0), c.order) << c.what;
        EXPECT_EQ(g.text(0, 1), QStringLiteral("键1")) << c.what;
        // A row takes its height and colours along.
        const int now = int(g.column(0).indexOf(second)) + 1;
        if (!second.isEmpty()) {
            EXPECT_EQ(g.rowHeight(now), 500) << c.what;
            EXPECT_EQ(g.backColor(now, 1), 0x123456u) << c.what;
        }
    }
}

// ---------------------------------------------------------------- sorts of the score table

class SortFilter : public AnalysisFixture {
protected:
    // Levels of the template: 不及格 0, 及格 60, 中等 70, 良好 80, 优秀 90,
    // 满分 100: pass line 60, excellent line 90, full line 100.
    void SetUp() override {
        openClass();
        addSubjects({"语文", "数学", "英语"});
        addStudents({{"甲", "1", "100", "95", "90"},
                     {"乙", "2", "50", "40", "30"},
                     {"丙", "3", "70", "59.5", "99.5"},
                     {"丁", "4", "60", "60", "60"},
                     {"戊", "5", "89.9", "90", "100"}});
    }
    QStringList names() const {
        QStringList out;
        for (int r = 1; r < model.scoreGrid().rows() && !cell(r, 1).isEmpty(); ++r)
            out << cell(r, 1);
        return out;
    }
};

TEST_F(SortFilter, SortUpAndDownOrderOnTheTotalWithTiesInStoredOrder) {
    addStudents({{"己", "6", "85", "90", "78"}, {"庚", "7", "90", "85", "78"}}); // both 253
    scores::SortScores(model, true);
    EXPECT_EQ(names(), (QStringList{"甲", "戊", "己", "庚", "丙", "丁", "乙"}));
    EXPECT_EQ(model.scoreGrid().column(0).mid(0, 7), (QStringList{"1", "5", "6", "7", "3", "4", "2"}));
    EXPECT_EQ(gridRow(8), QStringList(8, QString())); // empty rows stay below
    EXPECT_EQ(model.viewState().printTitle, QStringLiteral("初一1班成绩表"));

    scores::SortScores(model, false);
    EXPECT_EQ(names(), (QStringList{"乙", "丁", "丙", "己", "庚", "戊", "甲"}));
}

TEST_F(SortFilter, AdvancedSortNeedsAKeyThenSortsFromIt) {
    model.windowLoaded(); // a new window: no key chosen
    scores::OpenAdvancedSort(model);
    const shell::Grid before = model.scoreGrid();
    const scores::Outcome refused = scores::ConfirmAdvancedSort(model);
    EXPECT_EQ(refused.messages, QStringList{msg::kNoSortKey});
    EXPECT_EQ(model.scoreGrid(), before);

    scores::ChooseKeyColumn(model, 0); // 语文
    model.setSortDescending(false);
    ASSERT_TRUE(scores::ConfirmAdvancedSort(model).ok);
    EXPECT_EQ(names(), (QStringList{"乙", "丁", "丙", "戊", "甲"}));

    scores::ChooseKeyColumn(model, 3); // the total
    model.setSortDescending(true);
    ASSERT_TRUE(scores::ConfirmAdvancedSort(model).ok);
    EXPECT_EQ(names(), (QStringList{"甲", "戊", "丙", "丁", "乙"}));
}

// ---------------------------------------------------------------- filters

TEST_F(SortFilter, FiltersOverAllSubjectsSelectAndReport) {
    struct Case {
        int index;
        QStringList names;
        QString status;
    };
    const Case cases[] = {
        {2, {"乙"}, "各科都不及格学生 1 位"},
        {3, {"甲", "丁", "戊"}, "各科全部及格学生 3 位"},
        {4, {"乙", "丙"}, "有一科或多科不及格学生 2 位"},
        {5, {"乙", "丁"}, "各科都不优秀学生 2 位"},
        {6, {"甲"}, "各科都优秀学生 1 位"},
        {7, {"甲", "丙", "戊"}, "有一科或多科优秀的学生 3 位"},
        {8, {"甲", "戊"}, "有一科或多科满分的学生 2 位"},
    };
    for (const Case& c : cases) {
        scores::OpenFilter(model);
        ASSERT_TRUE(scores::RunFilter(model, c.index, QString(), QString()).ok);
        EXPECT_EQ(names(), c.names) << c.index;
        EXPECT_EQ(model.statusPanel(0), c.status) << c.index;
        EXPECT_EQ(cell(1, 0), QStringLiteral("1")) << c.index;
        EXPECT_EQ(model.scoreGrid().rowHeight(1), 320) << c.index;
    }
    // Filter 3's rows hold the whole score row: scores, weighted total, average.
    scores::RunFilter(model, 3, QString(), QString());
    EXPECT_EQ(gridRow(3), (QStringList{"3", "戊", "5", "89.9", "90", "100", "279.9", "93.3"}));
}

TEST_F(SortFilter, FiltersColourThePassingCells) {
    auto coloured = [&](bool fore) {
        QStringList out;
        const shell::Grid& g = model.scoreGrid();
        for (int r = 1; r < g.rows(); ++r)
            for (int c = 0; c < g.cols(); ++c)
                if (fore ? g.hasForeColor(r, c) : g.hasBackColor(r, c))
                    out << QStringLiteral("%1:%2=%3")
                               .arg(g.text(r, 1), g.text(r, c))
                               .arg(fore ? g.foreColor(r, c) : g.backColor(r, c), 0, 16);
        return out;
    };
    scores::RunFilter(model, 4, QString(), QString());
    EXPECT_EQ(coloured(true),
              (QStringList{"乙:50=ff0000", "乙:40=ff0000", "乙:30=ff0000", "丙:59.5=ff0000"}));
    EXPECT_TRUE(coloured(false).isEmpty());
    scores::RunFilter(model, 7, QString(), QString());
    EXPECT_EQ(coloured(false), (QStringList{"甲:100=c0ffc0", "甲:95=c0ffc0", "甲:90=c0ffc0", "丙:99.5=c0ffc0",
                                            "戊:90=c0ffc0", "戊:100=c0ffc0"}));
    scores::RunFilter(model, 8, QString(), QString());
    EXPECT_EQ(coloured(false), (QStringList{"甲:100=c0ffc0", "戊:100=c0ffc0"}));
    EXPECT_TRUE(coloured(true).isEmpty());
}

TEST_F(SortFilter, TopNOfASubject) {
    scores::OpenFilter(model);
    EXPECT_EQ(model.classData().rowCount, 5);
    EXPECT_EQ(scores::filterUnit(0), QStringLiteral("前      名"));
    EXPECT_EQ(scores::subjectFilterCaption(0, "语文", " 3 "), QStringLiteral("语文前3名"));
    model.setStatusPanel(0, QStringLiteral("初一1班"));

    // No subject chosen since the window opened: the last N in stored order.
    model.setKeyColumn(0);
    ASSERT_TRUE(scores::RunFilter(model, 0, QStringLiteral("2"), QString()).ok);
    EXPECT_EQ(names(), (QStringList{"戊", "丁"}));

    scores::ChooseKeyColumn(model, 0);
    ASSERT_TRUE(scores::RunFilter(model, 0, QStringLiteral(" 3"), QString()).ok);
    EXPECT_EQ(names(), (QStringList{"甲", "戊", "丙"}));
    EXPECT_EQ(model.scoreGrid().column(0).mid(0, 3), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(model.statusPanel(0), QStringLiteral("初一1班"));

    // More than the class: the message, and the results stay as they were.
    const shell::Grid before = model.scoreGrid();
    EXPECT_EQ(scores::CheckFilterNumber(model, 0, QStringLiteral("6")).messages,
              QStringList{msg::kFilterTooMany});
    EXPECT_TRUE(scores::CheckFilterNumber(model, 0, QStringLiteral("5")).ok);
    EXPECT_TRUE(scores::CheckFilterNumber(model, 1, QStringLiteral("600")).ok);
    EXPECT_EQ(scores::RunFilter(model, 0, QStringLiteral("6"), QString()).messages,
              QStringList{msg::kFilterTooMany});
    EXPECT_EQ(model.scoreGrid(), before);
}

TEST_F(SortFilter, AtOrAboveAScoreHighestFirst) {
    scores::OpenFilter(model);
    scores::ChooseKeyColumn(model, 2); // 英语
    EXPECT_EQ(scores::subjectFilterCaption(1, "英语", "90"), QStringLiteral("英语科>=90分"));
    ASSERT_TRUE(scores::RunFilter(model, 1, QStringLiteral("90"), QStringLiteral("英语")).ok);
    EXPECT_EQ(names(), (QStringList{"戊", "丙", "甲"}));
    EXPECT_EQ(model.statusPanel(0), QStringLiteral("英语分数大于或等于90分学生 3 位"));
    EXPECT_EQ(gridRow(1), (QStringList{"1", "戊", "5", "89.9", "90", "100", "279.9", "93.3"}));
}

// ---------------------------------------------------------------- find

TEST_F(SortFilter, FindByNumberOrNameWithGradesTotalAndAverage) {
    addStudents({{"甲", "6", "1", "1", "1"}, {"", "", "1"}});
    EXPECT_EQ(scores::ListNumbersForFind(model), (QStringList{"1", "2", "3", "4", "5", "6"}));
    // The name held twice is listed with each holder's 学号.
    EXPECT_EQ(scores::ListNamesForFind(model), (QStringList{"甲（1）", "乙", "丙", "丁", "戊", "甲（6）"}));

    auto found = scores::FindStudent(model, false, QStringLiteral(" 3 "), {true, true, true});
    ASSERT_TRUE(found.outcome.ok);
    EXPECT_EQ(model.viewState().searchKey, QStringLiteral("3"));
    EXPECT_EQ(gridRow(1), (QStringList{"", "丙", "3", "中等", "不及格", "优秀", "229", "76.3333333333333"}));
    EXPECT_EQ(gridRow(2), QStringList(8, QString()));
    EXPECT_EQ(found.list.size(), 6);

    // A name held twice finds the holder picked; scores without grades.
    found = scores::FindStudent(model, true, QStringLiteral("甲（1）"), {false, false, true});
    ASSERT_TRUE(found.outcome.ok);
    EXPECT_EQ(gridRow(1), (QStringList{"", "甲", "1", "100", "95", "90", "", "95"}));
    EXPECT_EQ(found.list.first(), QStringLiteral("甲（1）"));

    struct Case {
        bool byName;
        QString text, message;
    };
    const Case refused[] = {{false, "  ", msg::kNameOrNumberEmpty},
                            {false, "99", msg::kNoSuchNumber},
                            {true, "无名", msg::kNoSuchNumber},
                            {true, "甲", msg::sameNameInList(2, "甲")},
                            {false, "listKM3", msg::kNoSuchNumber}};
    for (const Case& c : refused) {
        found = scores::FindStudent(model, c.byName, c.text, {});
        EXPECT_EQ(found.outcome.messages, QStringList{c.message}) << c.text;
        EXPECT_TRUE(found.list.isEmpty());
        EXPECT_EQ(gridRow(1), QStringList(8, QString())) << c.text; // the heading was rebuilt
    }
}

TEST_F(AnalysisFixture, FindGradesCompareWithThePlainStart) {
    openClass();
    threeLevels();
    ASSERT_TRUE(model.addSubject("数学", "150").ok);
    addStudents({{"甲", "1", "86"}, {"乙", "2", "59"}});
    scores::FindStudent(model, false, "1", {true, false, false});
    EXPECT_EQ(cell(1, 3), QStringLiteral("优秀")); // 85 compared with 86, not 127.5
    EXPECT_EQ(scores::gradeOf(model.classData(), -1), QString());
    scores::FindStudent(model, false, "2", {true, false, false});
    EXPECT_EQ(cell(1, 3), QStringLiteral("不及格"));
}

TEST_F(AnalysisFixture, FindAverageWithoutSubjectsStaysEmpty) {
    openClass();
    addStudents({{"甲", "1"}});
    ASSERT_TRUE(scores::FindStudent(model, false, "1", {true, true, true}).outcome.ok);
    EXPECT_EQ(gridRow(1).mid(0, 5), (QStringList{"", "甲", "1", "0", ""}));
}

TEST(GridSort, CellsReadAsNumbersLikeTheGeneralReading) {
    for (const char* text : {"85", "84.3333333333333", "-0.5", "0.1", "100.", "123456789012345",
                             "9007199254740993.5", " 7 ", "+3", "1e3"}) {
        bool ok = false;
        const double expected = QString::fromUtf8(text).trimmed().toDouble(&ok);
        ASSERT_TRUE(ok) << text;
        const auto v = scores::cellNumber(QString::fromUtf8(text));
        ASSERT_TRUE(v.has_value()) << text;
        EXPECT_EQ(*v, expected) << text;
    }
    for (const char* text : {"", "-", ".", "8a", "甲", "1.2.3", "inf", "nan"})
        EXPECT_FALSE(scores::cellNumber(QString::fromUtf8(text)).has_value()) << text;
}
