#include "ScoreImport.h"

#include "classes/model/ClassTable.h"
#include "shell/core/TextRules.h"

#include <QHash>
#include <QSet>
#include <limits>

namespace scores {

using namespace classtable;

namespace {

constexpr int kNumberChars = 10; // "编号" is Text(10)
constexpr int kNameChars = 50;   // "姓名" is Text(50)

// A line break, a control character or a direction mark in a name or number
// from the file would break the lists, the printed table and the files the
// program writes, as it would when typed: the same rule refuses them here.
bool hasForbiddenCharacters(const QString& text) {
    return !shell::nameProblem(text, QString(), std::numeric_limits<int>::max()).isEmpty();
}

QString squeezed(const QString& s) {
    QString out = s;
    out.remove(u' ');
    out.remove(u'\u3000');
    return out;
}

QString cell(const QStringList& row, int col) {
    return col < row.size() ? row[col].trimmed() : QString();
}

// One row the import takes: the student's number and what goes into each field.
struct Planned {
    int row = 0;
    QString number;
    QString name;                      // empty: not given
    QList<QPair<int, QString>> scores; // score field js<k>, the number as typed
    bool isNew = false;
};

struct Plan {
    QList<Planned> rows;
    ImportCheck check;
};

Outcome makePlan(ScoreModel& model, const ImportRequest& req, Plan& plan) {
    if (!model.classOpen()) return Outcome::fail(Reason::NotOpen, msg::kNoClassOpen);
    const ClassData& data = model.classData();
    int numberCol = -1, nameCol = -1;
    QList<QPair<int, int>> subjectCols; // column, subject k
    QSet<int> seen;
    for (int c = 0; c < req.columns.size(); ++c) {
        const int choice = req.columns[c];
        if (choice <= kImportSkip || choice >= kImportFirstSubject + data.subjectCount) continue;
        if (seen.contains(choice))
            return Outcome::fail(
                Reason::Invalid,
                QStringLiteral("“%1”只能对应一列，请重新选择！").arg(importChoices(data).value(choice)));
        seen.insert(choice);
        if (choice == kImportNumber)
            numberCol = c;
        else if (choice == kImportName)
            nameCol = c;
        else
            subjectCols.append({c, choice - kImportFirstSubject});
    }
    if (numberCol < 0) return Outcome::fail(Reason::NotChosen, QStringLiteral("请指定学号所在的列！"));

    store::Recordset* rs = model.readClass();
    if (!rs) return model.unreadable();
    QSet<QString> existing;
    const Columns col(*rs);
    forEachStudent(*rs, col, [&](const QString& number) { existing.insert(number); });

    QHash<QString, int> firstRow; // number → the file row that has it first
    auto problem = [&plan](int row, const QString& text) { plan.check.problems.append({row, text}); };
    for (int i = req.headingRow ? 1 : 0; i < req.rows.size(); ++i) {
        const QStringList& row = req.rows[i];
        const int rowNumber = i + 1;
        bool blank = true;
        for (const QString& c : row)
            blank = blank && c.trimmed().isEmpty();
        if (blank) continue;

        Planned p;
        p.row = rowNumber;
        p.number = cell(row, numberCol);
        p.name = nameCol >= 0 ? cell(row, nameCol) : QString();
        bool ok = true;
        if (p.number.isEmpty()) {
            problem(rowNumber, QStringLiteral("学号为空"));
            continue;
        }
        if (hasForbiddenCharacters(p.number)) {
            problem(rowNumber, QStringLiteral("学号含有换行符、控制字符或文字方向符号"));
            continue;
        }
        if (isSettingsRow(p.number)) {
            problem(rowNumber, QStringLiteral("学号“%1”以“listKM”开头，这是系统保留的编号").arg(p.number));
            continue;
        }
        if (characters(p.number) > kNumberChars) {
            problem(rowNumber, QStringLiteral("学号“%1”超过%2个字符").arg(p.number).arg(kNumberChars));
            ok = false;
        }
        if (const auto it = firstRow.constFind(p.number); it != firstRow.constEnd()) {
            problem(rowNumber, QStringLiteral("学号“%1”与第%2行重复").arg(p.number).arg(*it));
            continue;
        }
        firstRow.insert(p.number, rowNumber);
        if (characters(p.name) > kNameChars) {
            problem(rowNumber, QStringLiteral("姓名超过%1个字符").arg(kNameChars));
            ok = false;
        } else if (hasForbiddenCharacters(p.name)) {
            problem(rowNumber, QStringLiteral("姓名含有换行符、控制字符或文字方向符号"));
            ok = false;
        }
        p.isNew = !existing.contains(p.number);
        if (p.isNew && p.name.isEmpty() && ok) {
            problem(rowNumber, QStringLiteral("新学生“%1”没有姓名").arg(p.number));
            ok = false;
        }
        for (const auto& [c, k] : subjectCols) {
            const QString text = cell(row, c);
            if (text.isEmpty()) continue; // nothing to bring in: the score stays
            if (!store::Currency::parse(text)) {
                problem(rowNumber,
                        QStringLiteral("“%1”的成绩“%2”不是数字").arg(data.subjectNames[k].trimmed(), text));
                ok = false;
            } else {
                p.scores.append({k, text});
            }
        }
        if (!ok) continue;
        ++(p.isNew ? plan.check.added : plan.check.updated);
        plan.rows.append(std::move(p));
    }
    return Outcome::done();
}

} // namespace

QStringList importChoices(const ClassData& data) {
    QStringList out{QStringLiteral("不导入"), QStringLiteral("学号"), QStringLiteral("姓名")};
    for (int k = 0; k < data.subjectCount; ++k)
        out.append(data.subjectNames[k].trimmed());
    return out;
}

QList<int> guessImportColumns(const QStringList& heading, const ClassData& data) {
    QList<int> out;
    QSet<int> taken;
    for (const QString& text : heading) {
        const QString h = squeezed(text.trimmed());
        int choice = kImportSkip;
        if (h == u"学号" || h == u"编号" || h == u"考号")
            choice = kImportNumber;
        else if (h == u"姓名" || h == u"学生姓名")
            choice = kImportName;
        else
            for (int k = 0; k < data.subjectCount; ++k)
                if (!h.isEmpty() && squeezed(data.subjectNames[k].trimmed()) == h) {
                    choice = kImportFirstSubject + k;
                    break;
                }
        if (taken.contains(choice)) choice = kImportSkip;
        if (choice != kImportSkip) taken.insert(choice);
        out.append(choice);
    }
    return out;
}

bool looksLikeHeading(const QStringList& firstRow, const ClassData& data) {
    for (int choice : guessImportColumns(firstRow, data))
        if (choice != kImportSkip) return true;
    return false;
}

QStringList ImportCheck::lines(int limit) const {
    QStringList out;
    for (const ImportProblem& p : problems) {
        if (out.size() == limit) {
            out.append(QStringLiteral("……另有%1处问题").arg(problems.size() - limit));
            break;
        }
        out.append(QStringLiteral("第%1行：%2").arg(p.row).arg(p.text));
    }
    return out;
}

Outcome checkImport(ScoreModel& model, const ImportRequest& request, ImportCheck* check) {
    Plan plan;
    const Outcome made = makePlan(model, request, plan);
    if (check) *check = plan.check;
    return made;
}

Outcome importStudents(ScoreModel& model, const ImportRequest& request) {
    Plan plan;
    const Outcome made = makePlan(model, request, plan);
    if (!made) return made;
    if (!plan.check.problems.isEmpty() && !request.skipFaulty) {
        Outcome refused =
            Outcome::fail(Reason::Invalid, QStringLiteral("以下各行有问题，没有导入任何内容："));
        refused.messages << plan.check.lines();
        return refused;
    }
    if (plan.rows.isEmpty())
        return Outcome::fail(Reason::Invalid, QStringLiteral("文件中没有可以导入的学生！"));

    QHash<QString, int> byNumber;
    for (int i = 0; i < plan.rows.size(); ++i)
        byNumber.insert(plan.rows[i].number, i);
    const Outcome written = model.writeTogether([&](store::Recordset& rs, QString& why) {
        const Columns col(rs);
        auto setScores = [&](const Planned& p) {
            for (const auto& [k, v] : p.scores)
                rs.SetField(col.js[k], v);
        };
        // Existing students first, in one walk; each number's first row
        // only, as everywhere else a number is looked up.
        QSet<QString> done;
        for (rs.MoveFirst(); !rs.isEOF(); rs.MoveNext()) {
            const QString number = rs.text(col.number);
            if (isSettingsRow(number) || done.contains(number)) continue;
            const auto it = byNumber.constFind(number);
            if (it == byNumber.constEnd()) continue;
            done.insert(number);
            const Planned& p = plan.rows[*it];
            if (!rs.Edit()) {
                why = rs.lastError();
                return false;
            }
            if (!p.name.isEmpty()) rs.SetField(col.name, p.name);
            setScores(p);
            if (!rs.Update()) {
                why = rs.lastError();
                return false;
            }
        }
        for (const Planned& p : plan.rows) {
            if (!p.isNew) continue;
            rs.AddNew();
            rs.SetField(col.content, QStringLiteral("你"));
            rs.SetField(col.name, p.name);
            rs.SetField(col.number, p.number);
            for (int k = 0; k < kSlots; ++k)
                rs.SetField(col.js[k], QStringLiteral("0"));
            setScores(p);
            if (!rs.Update()) {
                why = rs.lastError();
                return false;
            }
        }
        return true;
    });
    if (!written) return written;
    model.ShowScoreTable();
    model.gridChanged();
    return Outcome::done(QStringLiteral("导入完成：新增%1位学生，更新%2位学生！")
                             .arg(plan.check.added)
                             .arg(plan.check.updated));
}

} // namespace scores
