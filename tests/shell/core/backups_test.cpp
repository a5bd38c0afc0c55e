// The backup policy: copies named with their moment, once a day at start,
// the last 30 days and the first of each month kept, a restore that backs
// the current files up first.
#include "TestSupport.h"
#include "shell/core/Backups.h"
#include "store/Schema.h"
#include "store/Store.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace backups = shell::backups;
using shell::Reason;

namespace {

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

QDateTime at(const char* text) {
    return QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

TEST(Backups, RetentionKeepsThirtyDaysAndTheFirstOfEachMonth) {
    QTemporaryDir dir;
    // Two files backed up every day from 2026-08-01 to 2026-12-11, twice on
    // some days, and a file that is no copy.
    QStringList made;
    for (QDate d(2026, 8, 1); d <= QDate(2026, 12, 11); d = d.addDays(1))
        for (const char* file : {"cCj218.mdb", "cJapy218.mdb"}) {
            made << backups::copyName(QString::fromLatin1(file), QDateTime(d, QTime(8, 0)));
            if (d.day() == 1) made << backups::copyName(QString::fromLatin1(file), QDateTime(d, QTime(7, 0)));
        }
    for (const QString& name : made)
        touch(QDir(dir.path()).filePath(name));
    touch(dir.filePath(QStringLiteral("notes.txt")));

    const QStringList removed = backups::prune(dir.path(), QDate(2026, 12, 11));
    QStringList kept = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    for (const QString& name : kept)
        EXPECT_FALSE(removed.contains(name)) << qPrintable(name);
    EXPECT_EQ(kept.size() + removed.size(), made.size() + 1);
    EXPECT_TRUE(kept.contains(QStringLiteral("notes.txt")));
    kept.removeAll(QStringLiteral("notes.txt"));
    QStringList expected;
    for (const char* file : {"cCj218", "cJapy218"}) {
        // The earliest copy of August to November, the 1st of December's
        // earliest, and each day from 2026-11-12 on.
        for (int month : {8, 9, 10, 11})
            expected << QStringLiteral("%1_2026-%2-01_070000.mdb")
                            .arg(QLatin1String(file))
                            .arg(month, 2, 10, QChar('0'));
        expected << QStringLiteral("%1_2026-12-01_070000.mdb").arg(QLatin1String(file));
        for (QDate d(2026, 11, 12); d <= QDate(2026, 12, 11); d = d.addDays(1))
            expected << QStringLiteral("%1_%2_080000.mdb").arg(QLatin1String(file), d.toString(Qt::ISODate));
    }
    expected.sort();
    kept.sort();
    EXPECT_EQ(kept, expected);
    // Pruning again removes nothing more.
    EXPECT_TRUE(backups::prune(dir.path(), QDate(2026, 12, 11)).isEmpty());
}

TEST(Backups, DailyBackupOncePerDayAndListedNewestFirst) {
    testing_support::DataFolder data;
    const QStringList files = backups::databaseFiles(data.path());
    ASSERT_FALSE(files.isEmpty());

    ASSERT_TRUE(backups::dailyBackup(data.path(), at("2026-12-10 08:00:00")));
    ASSERT_TRUE(backups::dailyBackup(data.path(), at("2026-12-10 17:30:00"))); // same day: nothing
    ASSERT_TRUE(backups::dailyBackup(data.path(), at("2026-12-11 07:45:10")));
    const QList<backups::BackupSet> sets = backups::list(data.path());
    ASSERT_EQ(sets.size(), 2);
    EXPECT_EQ(sets[0].when, at("2026-12-11 07:45:10"));
    EXPECT_EQ(sets[1].when, at("2026-12-10 08:00:00"));
    QStringList sorted = files;
    sorted.sort();
    EXPECT_EQ(sets[0].files, sorted);
    EXPECT_TRUE(sets[0].caption().startsWith(QStringLiteral("2026-12-11 7:45:10（")))
        << qPrintable(sets[0].caption());
}

TEST(Backups, FailedBackupIsReportedNotThrown) {
    testing_support::DataFolder data;
    // A file in the backup folder's place.
    touch(data.file(QStringLiteral("备份")));
    const shell::Outcome out = backups::backupAll(data.path(), at("2026-12-11 08:00:00"));
    EXPECT_FALSE(out);
    EXPECT_EQ(out.reason, Reason::Failed);
    ASSERT_FALSE(out.messages.isEmpty());
    EXPECT_TRUE(out.messages[0].startsWith(QStringLiteral("备份失败："))) << qPrintable(out.messages[0]);
}

TEST(Backups, RestoreBacksUpTheCurrentFilesFirst) {
    testing_support::DataFolder data;
    const QString classDb = data.file(store::kClassDb);
    ASSERT_TRUE(backups::backupAll(data.path(), at("2026-12-10 08:00:00")));
    const QString chosenCopy = QDir(backups::folder(data.path()))
                                   .filePath(backups::copyName(store::kClassDb, at("2026-12-10 08:00:00")));
    const QByteArray copied = bytes(chosenCopy);
    {
        store::Database db = store::Database::OpenDatabase(classDb);
        ASSERT_TRUE(db.CreateTable(QStringLiteral("初一(1)班"), store::classTableFields()));
    }
    const QByteArray changed = bytes(classDb);
    ASSERT_TRUE(changed != copied);

    backups::BackupSet chosen = backups::list(data.path()).value(0);
    {
        // Refused while the file is open; nothing copied.
        store::Database open = store::Database::OpenDatabase(classDb);
        const shell::Outcome refused = backups::restore(data.path(), chosen, at("2026-12-11 09:00:00"));
        EXPECT_EQ(refused.reason, Reason::Invalid);
        EXPECT_EQ(backups::list(data.path()).size(), 1);
    }
    const shell::Outcome out = backups::restore(data.path(), chosen, at("2026-12-11 09:00:00"));
    ASSERT_TRUE(out) << qPrintable(out.messages.join(u'\n'));
    EXPECT_TRUE(bytes(classDb) == copied);
    EXPECT_FALSE(store::Database::OpenDatabase(classDb).hasTable(QStringLiteral("初一(1)班")));
    // The files as they were before the restore are the newest backup.
    const QList<backups::BackupSet> sets = backups::list(data.path());
    ASSERT_EQ(sets.size(), 2);
    EXPECT_EQ(sets[0].when, at("2026-12-11 09:00:00"));
    store::Database reopened = store::Database::OpenDatabase(
        QDir(backups::folder(data.path())).filePath(backups::copyName(store::kClassDb, sets[0].when)));
    EXPECT_TRUE(reopened.hasTable(QStringLiteral("初一(1)班")));

    // A copy that has gone is named.
    QFile::remove(chosenCopy);
    EXPECT_EQ(backups::restore(data.path(), chosen, at("2026-12-11 10:00:00")).reason, Reason::NotFound);
}

} // namespace
