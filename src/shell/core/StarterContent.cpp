#include "StarterContent.h"

#include "StatementTable.h"
#include "store/Database.h"

#include <QDir>
#include <QFile>
#include <QMap>

// The resource lives in this static library; naming its initialiser keeps
// the linker from dropping it.
static void initStarterResource() {
    Q_INIT_RESOURCE(starter);
}

namespace shell {

std::optional<StarterRows> parseStarterRows(const QByteArray& tsv, QString* error) {
    StarterRows out;
    const QStringList lines = QString::fromUtf8(tsv).split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const QStringList cells = line.split(u'\t');
        if (out.fields.isEmpty()) {
            out.fields = cells;
            continue;
        }
        if (cells.size() != out.fields.size()) {
            if (error)
                *error = QStringLiteral("第%1行有%2项，应为%3项。")
                             .arg(i + 1)
                             .arg(cells.size())
                             .arg(out.fields.size());
            return std::nullopt;
        }
        out.rows << cells;
    }
    if (out.fields.isEmpty()) {
        if (error) *error = QStringLiteral("没有字段名一行。");
        return std::nullopt;
    }
    return out;
}

std::optional<StarterRows> starterRows(const QString& table, QString* error) {
    initStarterResource();
    const QDir dir(QStringLiteral(":/data"));
    for (const QString& name : dir.entryList({QStringLiteral("*.tsv")}, QDir::Files)) {
        if (QString::compare(name.chopped(4), table, Qt::CaseInsensitive) != 0) continue;
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) {
            if (error) *error = f.errorString();
            return std::nullopt;
        }
        return parseStarterRows(f.readAll(), error);
    }
    return std::nullopt;
}

namespace {

// The rows as values by field position; Number fields as whole numbers.
bool toRecords(const StarterRows& starter, const QList<store::FieldDef>& fields,
               QList<QList<QVariant>>& records, QString* why) {
    QList<int> position;
    for (const QString& name : starter.fields) {
        int at = -1;
        for (int i = 0; i < fields.size(); ++i)
            if (QString::compare(fields[i].name, name, Qt::CaseInsensitive) == 0) at = i;
        if (at < 0) {
            *why = QStringLiteral("表中没有字段“%1”。").arg(name);
            return false;
        }
        position << at;
    }
    for (const QStringList& row : starter.rows) {
        QList<QVariant> values(fields.size());
        for (int c = 0; c < row.size(); ++c) {
            const store::FieldDef& f = fields[position[c]];
            if (f.kind == store::FieldKind::Number && !row[c].isEmpty()) {
                const auto n = wholeNumber(row[c]);
                if (!n) {
                    *why = QStringLiteral("“%1”不是整数。").arg(row[c]);
                    return false;
                }
                values[position[c]] = *n;
            } else if (f.kind == store::FieldKind::Number) {
                // An empty cell is an empty field (a prose statement has no
                // month or week), not a text in a number field.
                values[position[c]] = QVariant();
            } else {
                values[position[c]] = row[c];
            }
        }
        records << values;
    }
    return true;
}

} // namespace

store::StarterRowsFor starterRecords() {
    return [](const QString& table, const QList<store::FieldDef>& fields, QString* why) {
        QList<QList<QVariant>> records;
        QString error;
        const auto starter = starterRows(table, &error);
        if (!starter) {
            if (!error.isEmpty()) *why = QStringLiteral("程序自带的初始内容有误：%1").arg(error);
            return records;
        }
        if (!toRecords(*starter, fields, records, &error)) {
            *why = error;
            records.clear();
        }
        return records;
    };
}

QStringList ensureDataFilesWithStarterContent(const QString& folder, const QStringList& repair) {
    store::DataFileOptions options;
    options.starter = starterRecords();
    options.repair = repair;
    return store::ensureDataFiles(folder, options);
}

QStringList loadStarterContent(const QList<store::CreatedTable>& created) {
    QStringList problems;
    QMap<QString, QStringList> byFile; // one transaction per file
    for (const store::CreatedTable& t : created)
        byFile[t.path] << t.table;
    for (auto it = byFile.cbegin(); it != byFile.cend(); ++it) {
        QList<QPair<QString, QList<QList<QVariant>>>> work;
        QString why;
        QString error;
        store::Database db = store::Database::OpenDatabase(it.key(), &error);
        if (!db.isValid()) {
            problems << QStringLiteral("无法为数据库“%1”装入初始内容：%2").arg(it.key(), error);
            continue;
        }
        bool ok = true;
        for (const QString& table : it.value()) {
            const auto starter = starterRows(table, &why);
            if (!starter) {
                if (!why.isEmpty()) {
                    problems << QStringLiteral("程序自带的“%1”初始内容有误：%2").arg(table, why);
                    ok = false;
                }
                continue;
            }
            QList<QList<QVariant>> records;
            if (!toRecords(*starter, db.fields(table), records, &why)) {
                problems << QStringLiteral("无法向表“%1”装入初始内容：%2").arg(table, why);
                ok = false;
                continue;
            }
            work.append({table, records});
        }
        if (!ok || work.isEmpty()) continue;
        if (!db.beginTransaction()) {
            problems << QStringLiteral("无法为数据库“%1”装入初始内容：%2").arg(it.key(), db.lastError());
            continue;
        }
        for (const auto& [table, records] : work) {
            qint64 key = 0;
            for (const QList<QVariant>& r : records)
                if (!(ok = db.insertRecord(table, r, ++key))) break;
            if (!ok) {
                why = QStringLiteral("无法向表“%1”装入初始内容：%2").arg(table, db.lastError());
                break;
            }
        }
        if (!ok) {
            if (!db.rollback()) why += u' ' + db.lastError();
            problems << why;
        } else if (!db.commit()) {
            problems << QStringLiteral("无法为数据库“%1”装入初始内容：%2").arg(it.key(), db.lastError());
        }
    }
    return problems;
}

} // namespace shell
