#pragma once

#include "ScoresFixture.h"
#include "scores/model/ScoreReports.h"
#include "scores/model/ScoreSortFilter.h"

// An open class with students written straight into the class table (one
// transaction), for the reports, sorting, filters and find.
class AnalysisFixture : public ScoresFixture {
protected:
    // Each row: name, number, then the scores of subjects 0, 1, ... ("" leaves
    // a score unwritten).
    void addStudents(const QList<QStringList>& rows) {
        auto rs = table();
        ASSERT_TRUE(rs);
        store::Database db = rs->database();
        ASSERT_TRUE(db.beginTransaction());
        for (const QStringList& row : rows) {
            rs->AddNew();
            rs->SetField(QStringLiteral("姓名"), row.value(0));
            rs->SetField(QStringLiteral("编号"), row.value(1));
            for (int k = 2; k < row.size(); ++k)
                if (!row[k].isEmpty()) rs->SetField(QStringLiteral("js%1").arg(k - 2), row[k]);
            ASSERT_TRUE(rs->Update()) << rs->lastError().toStdString();
        }
        ASSERT_TRUE(db.commit());
        model.LoadSettings();
    }

    // A class whose levels are 不及格 0, 及格 60, 优秀 85 (rows 0 to 2; the
    // template's other levels taken out of use).
    void threeLevels() {
        ASSERT_TRUE(scores::storeLevel(model, 2, QStringLiteral("优秀"), QStringLiteral("85")).ok);
        for (int row = 3; row < 6; ++row)
            ASSERT_TRUE(scores::storeLevel(model, row, QString(), QString()).ok);
        ASSERT_EQ(model.classData().levelCount, 3);
    }

    // Row r of the visible grid from column 0 to the last column.
    QStringList gridRow(int r) const {
        QStringList out;
        for (int c = 0; c < model.scoreGrid().cols(); ++c)
            out << model.scoreGrid().text(r, c);
        return out;
    }
    QString cell(int r, int c) const { return model.scoreGrid().text(r, c); }
};
