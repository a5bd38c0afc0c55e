#pragma once

// A comment class on a fresh data folder, with helpers that read the class
// table back as it is stored.

#include "Printers.h"
#include "TestSupport.h"
#include "classes/model/ClassFiles.h"
#include "comments/model/CommentWriter.h"
#include "store/Schema.h"
#include "store/Store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

// Every row of a table as "内容|姓名|编号|js0|…|js12", in stored order.
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

// Runs SQL on the file behind the program's back (set-up and damage only).
inline void execSql(const QString& db, const QString& sql) {
    sqlite3* h = nullptr;
    ASSERT_EQ(sqlite3_open(db.toUtf8().constData(), &h), SQLITE_OK);
    char* err = nullptr;
    const int rc = sqlite3_exec(h, sql.toUtf8().constData(), nullptr, nullptr, &err);
    const std::string why = err ? err : "";
    sqlite3_free(err);
    sqlite3_close(h);
    ASSERT_EQ(rc, SQLITE_OK) << why;
}

class CommentClass : public ::testing::Test {
protected:
    testing_support::DataFolder folder;
    scores::ClassState classes;
    comments::CommentWriter writer{classes};
    const QString cls = QStringLiteral("初二(3)班");

    void SetUp() override {
        ASSERT_TRUE(scores::ClassFiles::create(cls, true));
        classes.open(scores::ClassState::Taker::CommentWorking, cls);
    }
    QString dbPath() const { return folder.file(store::kClassDb); }
    QStringList rows() const { return tableTexts(dbPath(), cls); }
    // Appends a student row straight into the table, as the score manager's
    // roster may (it allows two students of one name).
    void addRow(const QString& name, const QString& number, const QString& comment = {}) {
        auto rs = store::Recordset::OpenTable(dbPath(), cls);
        ASSERT_TRUE(rs);
        rs->AddNew();
        rs->SetField(QStringLiteral("内容"), comment);
        rs->SetField(QStringLiteral("姓名"), name);
        rs->SetField(QStringLiteral("编号"), number);
        ASSERT_TRUE(rs->Update()) << rs->lastError().toStdString();
    }
    qint64 keyOf(const QString& number) const {
        QList<comments::Student> list;
        writer.students(list);
        for (const auto& s : list)
            if (s.number == number) return s.key;
        return -1;
    }
};
