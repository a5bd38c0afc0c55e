#include "Backups.h"

#include "store/Backup.h"
#include "store/Schema.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <map>

namespace shell::backups {

namespace {

const QString kStampFormat = QStringLiteral("yyyy-MM-dd_HHmmss");

// "cCj218_2026-12-11_081530.mdb" → file "cCj218.mdb", made 2026-12-11 08:15:30.
struct Copy {
    QString name; // the copy's own file name
    QString file; // the database file it copies
    QDateTime when;
};

bool parseCopy(const QString& name, Copy& out) {
    static const QRegularExpression re(QStringLiteral("^(.+)_(\\d{4}-\\d{2}-\\d{2}_\\d{6})(\\.[^.]+)?$"));
    const QRegularExpressionMatch m = re.match(name);
    if (!m.hasMatch()) return false;
    const QDateTime when = QDateTime::fromString(m.captured(2), kStampFormat);
    if (!when.isValid()) return false;
    out = Copy{name, m.captured(1) + m.captured(3), when};
    return true;
}

QList<Copy> copies(const QString& backupFolder) {
    QList<Copy> result;
    const QStringList names = QDir(backupFolder).entryList(QDir::Files, QDir::Name);
    for (const QString& name : names) {
        Copy c;
        if (parseCopy(name, c)) result.append(c);
    }
    return result;
}

QString dateText(const QDateTime& when) {
    // Dates without leading zeros, as everywhere in the program.
    return QStringLiteral("%1-%2-%3 %4")
        .arg(when.date().year())
        .arg(when.date().month())
        .arg(when.date().day())
        .arg(when.time().toString(QStringLiteral("H:mm:ss")));
}

} // namespace

QString folder(const QString& dataDir) {
    return QDir(dataDir).filePath(QStringLiteral("备份"));
}

QStringList databaseFiles(const QString& dataDir) {
    QStringList files;
    for (const store::DatabaseSchema& schema : store::databaseSchemas())
        if (QFileInfo(QDir(dataDir).filePath(schema.fileName)).isFile()) files.append(schema.fileName);
    return files;
}

QString copyName(const QString& fileName, const QDateTime& when) {
    const QFileInfo info(fileName);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    return info.completeBaseName() + QLatin1Char('_') + when.toString(kStampFormat) + suffix;
}

QString BackupSet::caption() const {
    return QStringLiteral("%1（%2个数据文件）").arg(dateText(when)).arg(files.size());
}

QList<BackupSet> list(const QString& dataDir) {
    std::map<QDateTime, BackupSet> byMoment;
    for (const Copy& c : copies(folder(dataDir))) {
        BackupSet& set = byMoment[c.when];
        set.when = c.when;
        set.files.append(c.file);
    }
    QList<BackupSet> result;
    for (auto it = byMoment.rbegin(); it != byMoment.rend(); ++it) {
        it->second.files.sort();
        result.append(it->second);
    }
    return result;
}

Outcome backupAll(const QString& dataDir, const QDateTime& now) {
    const QString target = folder(dataDir);
    if (!QDir().mkpath(target))
        return Outcome::fail(
            Reason::Failed,
            QStringLiteral("备份失败：无法建立备份文件夹“%1”！").arg(QDir::toNativeSeparators(target)));
    QStringList problems;
    for (const QString& file : databaseFiles(dataDir)) {
        QString why;
        if (!store::backupDatabase(QDir(dataDir).filePath(file), QDir(target).filePath(copyName(file, now)),
                                   &why))
            problems.append(QStringLiteral("备份失败：") + why);
    }
    prune(target, now.date());
    if (!problems.isEmpty()) return Outcome{false, Reason::Failed, problems};
    return Outcome::done();
}

Outcome dailyBackup(const QString& dataDir, const QDateTime& now) {
    QStringList doneToday;
    for (const Copy& c : copies(folder(dataDir)))
        if (c.when.date() == now.date()) doneToday.append(c.file);
    bool missing = false;
    for (const QString& file : databaseFiles(dataDir))
        missing = missing || !doneToday.contains(file);
    return missing ? backupAll(dataDir, now) : Outcome::done();
}

QStringList removeLeftovers(const QString& dataDir) {
    // store::backupDatabase() writes each copy under its name + ".part" and
    // renames it when complete; SQLite keeps its journal beside it.
    const QDir dir(folder(dataDir));
    QStringList removed;
    for (const QString& name : dir.entryList({QStringLiteral("*.part"), QStringLiteral("*.part-journal"),
                                              QStringLiteral("*.part-wal"), QStringLiteral("*.part-shm")},
                                             QDir::Files | QDir::Hidden | QDir::System))
        if (QFile::remove(dir.filePath(name))) removed.append(name);
    return removed;
}

QStringList prune(const QString& backupFolder, const QDate& today) {
    // Copies come sorted by name, and the stamp sorts as the time does, so
    // the first copy of a file in a month is the first one met.
    const QDate firstKept = today.addDays(-29);
    QHash<QString, bool> monthSeen; // file + "yyyy-MM"
    QStringList removed;
    QList<Copy> all = copies(backupFolder);
    std::sort(all.begin(), all.end(), [](const Copy& a, const Copy& b) { return a.when < b.when; });
    for (const Copy& c : all) {
        const QString month = c.file + c.when.toString(QStringLiteral("|yyyy-MM"));
        const bool firstOfMonth = !monthSeen.contains(month);
        monthSeen.insert(month, true);
        if (firstOfMonth || c.when.date() >= firstKept) continue;
        if (QFile::remove(QDir(backupFolder).filePath(c.name))) removed.append(c.name);
    }
    return removed;
}

Outcome restore(const QString& dataDir, const BackupSet& set, const QDateTime& now) {
    const QDir data(dataDir);
    const QDir copiesDir(folder(dataDir));
    for (const QString& file : set.files) {
        if (store::databaseInUse(data.filePath(file)))
            return Outcome::fail(
                Reason::Invalid,
                QStringLiteral("数据库文件“%1”正在使用中，请先关闭成绩、评语等窗口后再恢复！").arg(file));
        if (!QFileInfo(copiesDir.filePath(copyName(file, set.when))).isFile())
            return Outcome::fail(Reason::NotFound,
                                 QStringLiteral("备份文件“%1”已经不存在！").arg(copyName(file, set.when)));
    }
    // The files as they are now are the teacher's way back from a wrong
    // choice; that copy must not take the chosen one's name.
    QDateTime stamp = now;
    if (stamp.toString(kStampFormat) == set.when.toString(kStampFormat)) stamp = stamp.addSecs(1);
    const Outcome before = backupAll(dataDir, stamp);
    if (!before) {
        Outcome refused = before;
        refused.messages.append(QStringLiteral("现有文件没有备份成功，所以没有恢复！"));
        return refused;
    }
    for (const QString& file : set.files) {
        QString why;
        if (!store::restoreDatabase(copiesDir.filePath(copyName(file, set.when)), data.filePath(file), &why))
            return Outcome::fail(Reason::Failed, QStringLiteral("恢复失败：") + why);
    }
    return Outcome::done(QStringLiteral("已经恢复到 %1 的备份！").arg(dateText(set.when)));
}

} // namespace shell::backups
