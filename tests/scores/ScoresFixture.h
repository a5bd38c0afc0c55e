#pragma once

#include "TestSupport.h"
#include "classes/model/ClassFiles.h"
#include "scores/model/ScoreModel.h"
#include "store/Schema.h"
#include "store/Store.h"

#include <functional>
#include <gtest/gtest.h>

// Every row of a table as one line of its field texts, in stored order.
inline QStringList tableTexts(const QString& db, const QString& table) {
    QStringList out;
    auto rs = store::Recordset::OpenTable(db, table);
    if (!rs) return out;
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
        QStringList f;
        for (int i = 0; i < rs->fieldCount(); ++i)
            f << rs->text(i);
        out << f.join(u'|');
    }
    return out;
}

// A data folder with one open class and a model of its own (not the
// program-wide one), so tests never see each other's state.
class ScoresFixture : public ::testing::Test {
protected:
    testing_support::DataFolder folder;
    scores::ClassState cls;
    scores::ScoreModel model{cls};

    QString dbPath() const { return folder.file(store::kClassDb); }

    void openClass(const QString& name = QStringLiteral("初一1班")) {
        const auto out = scores::ClassFiles::create(name, false);
        ASSERT_TRUE(out) << out.messages.join(" ").toStdString();
        model.classOpened(name);
    }

    // Subjects with full marks 100, written through the subject frame's model.
    void addSubjects(const QStringList& names) {
        for (const QString& n : names)
            ASSERT_TRUE(model.addSubject(n, QStringLiteral("100")).ok);
    }

    std::unique_ptr<store::Recordset> table() {
        return store::Recordset::OpenTable(dbPath(), cls.workingClass());
    }

    // Writes one field of the row whose "编号" is `number`.
    void setField(const QString& number, const QString& field, const QString& value) {
        auto rs = table();
        ASSERT_TRUE(rs);
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
            if (rs->text(QStringLiteral("编号")) != number) continue;
            rs->Edit();
            rs->SetField(field, value);
            ASSERT_TRUE(rs->Update()) << rs->lastError().toStdString();
            return;
        }
        FAIL() << "no row " << number.toStdString();
    }

    // Every row of the class table as one line of its sixteen field texts.
    QStringList snapshot() { return tableTexts(dbPath(), cls.workingClass()); }

    // A refused edit: it fails, shows exactly its message and leaves every
    // row of the class table as it was.
    struct Refusal {
        const char* what;
        std::function<scores::Outcome()> run;
        QString message;
    };
    void expectRefusals(const std::vector<Refusal>& cases) {
        const QStringList before = snapshot();
        for (const Refusal& c : cases) {
            SCOPED_TRACE(c.what);
            const scores::Outcome o = c.run();
            EXPECT_FALSE(o.ok);
            EXPECT_EQ(o.messages, QStringList{c.message});
            EXPECT_EQ(snapshot(), before);
        }
    }

    // Column c of the visible grid for rows 1..rows.
    QStringList column(int c, int rows) const {
        QStringList out;
        for (int r = 1; r <= rows; ++r)
            out << model.scoreGrid().text(r, c);
        return out;
    }
};

inline std::ostream& operator<<(std::ostream& os, const QString& s) {
    return os << s.toStdString();
}
