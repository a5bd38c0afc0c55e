#pragma once

// Every table a fresh data folder holds, written out by hand: file, table,
// then each field as name:kind (T text with its size, M memo, C currency,
// N number, D date), in stored order.

#include "store/Store.h"

#include <QDir>
#include <QStringList>

inline QStringList expectedTables() {
    const QString js = [] {
        QStringList f;
        for (int k = 0; k < 13; ++k)
            f << QStringLiteral("js%1:C").arg(k);
        return f.join(u' ');
    }();
    const QString lesson = QStringLiteral("册别:N 课题:T100 内容:M 分析:M 课件地址:T2048");
    return {
        QStringLiteral("cCj218.mdb files 文件名:M"),
        QStringLiteral("cCj218.mdb dataBak 内容:M 姓名:T50 编号:T10 ") + js,
        QStringLiteral("cJapy218.mdb studenPy 类别:T10 标题:T50 内容:M 序号:N"),
        QStringLiteral("cJapy218.mdb jaywtextdata ") + lesson,
        QStringLiteral("cJapy218.mdb jasxtextdata ") + lesson,
        QStringLiteral("cJapy218.mdb jaYYtextData ") + lesson,
        QStringLiteral("cJapy218.mdb jaLStextData ") + lesson,
        QStringLiteral("cJapy218.mdb jaWLtextData ") + lesson,
        QStringLiteral("cJapy218.mdb jaHXtextData ") + lesson,
        QStringLiteral("cJapy218.mdb jaDLtextData ") + lesson,
        QStringLiteral("cJapy218.mdb jaSWtextData ") + lesson,
        QStringLiteral("cJapy218.mdb filedata 网页名称:T100 类别:T50 记录时间:D 网站地址:T2048"),
        QStringLiteral("cJh218.mdb jhStartData 类别:T20 标题:T50 内容:M 序号:N"),
        QStringLiteral("cJh218.mdb jhMidData 类别:T20 标题:T50 内容:M 序号:N 月份:N 周别:N"),
        QStringLiteral("cJh218.mdb jhEndData 类别:T20 标题:T50 内容:M 序号:N"),
        QStringLiteral("cZj218.mdb zjStartData 内容:M 标题:T30 类别:T20 序号:N"),
        QStringLiteral("cZj218.mdb zjMidData 内容:M 标题:T50 类别:T20 序号:N"),
        QStringLiteral("cZj218.mdb zjEndData 内容:M 标题:T30 类别:T20 序号:N"),
    };
}

// The same description read from the files in `folder` (sorted like
// expectedTables() once both are sorted).
inline QStringList tablesIn(const QString& folder) {
    QStringList out;
    for (const char* file : {"cCj218.mdb", "cJapy218.mdb", "cJh218.mdb", "cZj218.mdb"}) {
        const QString name = QString::fromLatin1(file);
        store::Database db = store::Database::OpenDatabase(QDir(folder).filePath(name));
        if (!db.isValid()) {
            out << name + QStringLiteral(" cannot be opened");
            continue;
        }
        for (const QString& t : db.tables()) {
            QStringList line{name, t};
            for (const store::FieldDef& f : db.fields(t)) {
                QString kind;
                switch (f.kind) {
                case store::FieldKind::Text:
                    kind = QStringLiteral("T%1").arg(f.size);
                    break;
                case store::FieldKind::Memo:
                    kind = QStringLiteral("M");
                    break;
                case store::FieldKind::Currency:
                    kind = QStringLiteral("C");
                    break;
                case store::FieldKind::Number:
                    kind = QStringLiteral("N");
                    break;
                case store::FieldKind::Date:
                    kind = QStringLiteral("D");
                    break;
                }
                line << f.name + u':' + kind;
            }
            out << line.join(u' ');
        }
    }
    out.sort();
    return out;
}

inline QStringList sortedExpectedTables() {
    QStringList e = expectedTables();
    e.sort();
    return e;
}
