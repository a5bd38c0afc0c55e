#include "Schema.h"

#include <QDir>
#include <QFileInfo>

namespace store {

namespace {
FieldDef text(const QString& n, int size) { return {n, FieldKind::Text, size}; }
FieldDef memo(const QString& n) { return {n, FieldKind::Memo, 0}; }
FieldDef number(const QString& n) { return {n, FieldKind::Number, 0}; }
FieldDef date(const QString& n) { return {n, FieldKind::Date, 0}; }
FieldDef currency(const QString& n) { return {n, FieldKind::Currency, 0}; }

QList<FieldDef> lessonFields() {
    return {number(QStringLiteral("册别")), text(QStringLiteral("课题"), 100), memo(QStringLiteral("内容")),
            memo(QStringLiteral("分析")), text(QStringLiteral("课件地址"), 255)};
}
QList<FieldDef> planFields(bool withMonthWeek) {
    QList<FieldDef> f{text(QStringLiteral("类别"), 20), text(QStringLiteral("标题"), 50), memo(QStringLiteral("内容")),
                      number(QStringLiteral("序号"))};
    if (withMonthWeek) f << number(QStringLiteral("月份")) << number(QStringLiteral("周别"));
    return f;
}
QList<FieldDef> summaryFields(int titleSize) {
    return {memo(QStringLiteral("内容")), text(QStringLiteral("标题"), titleSize), text(QStringLiteral("类别"), 20),
            number(QStringLiteral("序号"))};
}
} // namespace

QList<FieldDef> classTableFields() {
    QList<FieldDef> f{memo(QStringLiteral("内容")), text(QStringLiteral("姓名"), 50), text(QStringLiteral("编号"), 10)};
    for (int k = 0; k < 13; ++k) f << currency(QStringLiteral("js%1").arg(k));
    return f;
}

const QList<DatabaseSchema>& databaseSchemas() {
    static const QList<DatabaseSchema> all = [] {
        QList<DatabaseSchema> s;
        s << DatabaseSchema{kClassDb,
                            {{QStringLiteral("files"), {text(QStringLiteral("文件名"), 255)}},
                             {QStringLiteral("dataBak"), classTableFields()}}};
        DatabaseSchema common{kCommonDb,
                              {{QStringLiteral("studenPy"),
                                {text(QStringLiteral("类别"), 10), text(QStringLiteral("标题"), 50),
                                 memo(QStringLiteral("内容")), number(QStringLiteral("序号"))}}}};
        for (const char* t : {"jaywtextdata", "jasxtextdata", "jaYYtextData", "jaLStextData", "jaWLtextData",
                              "jaHXtextData", "jaDLtextData", "jaSWtextData"})
            common.tables << TableSchema{QString::fromLatin1(t), lessonFields()};
        common.tables << TableSchema{QStringLiteral("filedata"),
                                     {text(QStringLiteral("网页名称"), 100), text(QStringLiteral("类别"), 50),
                                      date(QStringLiteral("记录时间")), text(QStringLiteral("网站地址"), 255)}};
        s << common;
        s << DatabaseSchema{kPlanDb,
                            {{QStringLiteral("jhStartData"), planFields(false)},
                             {QStringLiteral("jhMidData"), planFields(true)},
                             {QStringLiteral("jhEndData"), planFields(false)}}};
        s << DatabaseSchema{kSummaryDb,
                            {{QStringLiteral("zjStartData"), summaryFields(30)},
                             {QStringLiteral("zjMidData"), summaryFields(50)},
                             {QStringLiteral("zjEndData"), summaryFields(30)}}};
        return s;
    }();
    return all;
}

QList<QList<QVariant>> templateRows() {
    // Grade levels, lowest first, with their start in percent of full marks.
    const QStringList levels{QStringLiteral("不及格"), QStringLiteral("及格"), QStringLiteral("中等"),
                             QStringLiteral("良好"), QStringLiteral("优秀"), QStringLiteral("满分")};
    const int starts[] = {0, 60, 70, 80, 90, 100};
    // Page values 0..12: margins 20 mm, A4 210 x 297 mm, paper entry 1 (A4),
    // portrait, 30 table rows a page (a 320-twip row on 257 mm of height).
    const int page[] = {0, 20, 20, 20, 20, 210, 297, 1, 0, 30, 0, 0, 0};
    QList<QList<QVariant>> rows;
    for (int r = 0; r < 13; ++r) {
        QList<QVariant> v(16);
        if (r < 8) v[0] = r < levels.size() ? levels[r] : QStringLiteral("000");
        else if (r == 8) v[0] = QStringLiteral("综合分");
        else v[0] = QString();
        v[1] = QStringLiteral("000");
        v[2] = QStringLiteral("listKM%1").arg(r);
        v[3] = QVariant::fromValue(Currency::fromInt(r < levels.size() ? starts[r] : (r == 9 ? 10 : 0)));
        v[4] = QVariant::fromValue(Currency::fromInt(r == 8 ? 100 : 0));
        v[5] = QVariant::fromValue(Currency::fromInt(100));
        v[6] = QVariant::fromValue(Currency::fromInt(100));
        v[7] = QVariant::fromValue(Currency::fromInt(page[r]));
        for (int k = 8; k < 16; ++k) v[k] = QVariant::fromValue(Currency());
        rows << v;
    }
    return rows;
}

QStringList ensureDataFiles(const QString& folder) {
    QStringList problems;
    QDir().mkpath(folder);
    for (const DatabaseSchema& schema : databaseSchemas()) {
        const QString path = QDir(folder).filePath(schema.fileName);
        QString error;
        Database db = QFileInfo(path).exists() ? Database::OpenDatabase(path, &error) : Database::Create(path, &error);
        if (!db.isValid()) {
            problems << error;
            continue;
        }
        if (db.isReadOnly()) {
            problems << db.readOnlyNote();
            continue;
        }
        for (const TableSchema& t : schema.tables) {
            if (db.hasTable(t.name)) continue;
            if (!db.CreateTable(t.name, t.fields)) {
                problems << QStringLiteral("无法在“%1”中建立表“%2”：%3").arg(path, t.name, db.lastError());
                continue;
            }
            if (t.name == u"dataBak") {
                auto rs = Recordset::OpenTable(db, t.name, &error);
                if (!rs) continue;
                db.beginTransaction();
                bool ok = true;
                for (const QList<QVariant>& row : templateRows()) {
                    rs->AddNew();
                    for (int i = 0; i < row.size(); ++i) rs->SetField(i, row[i]);
                    ok = rs->Update() && ok;
                }
                if (ok) db.commit();
                else {
                    db.rollback();
                    problems << rs->lastError();
                }
            }
        }
    }
    return problems;
}

} // namespace store
