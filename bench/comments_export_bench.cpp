// The comment writer's exports on big classes: a whole grade (2,000
// students) and ten times that (20,000), each student with a comment of
// about 150 characters. Each export (the class read through the record
// store, then the rich-text file or the workbook written) is measured
// beside a baseline that does the same per-row work by hand: the rows read
// with plain SQLite, the RTF escaped into one buffer, the cells written
// straight through libxlsxwriter with the same formats.

#include "classes/model/ClassFiles.h"
#include "comments/model/CommentExport.h"
#include "common/DataFolder.h"
#include "shell/docs/RtfWriter.h"
#include "store/Schema.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <sqlite3.h>
#include <xlsxwriter.h>

namespace {

using bench_support::folder;

// A comment class of `students` students, each with a comment; set-up
// through plain SQL in one transaction, not measured.
const QString& commentClass(int students) {
    static std::map<int, QString> made;
    if (auto it = made.find(students); it != made.end()) return it->second;
    folder();
    const QString name = QStringLiteral("评语%1").arg(students);
    scores::ClassFiles::create(name, true);
    sqlite3* h = nullptr;
    sqlite3_open(folder().db.toUtf8().constData(), &h);
    sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
    const QByteArray sql =
        QStringLiteral("INSERT INTO \"%1\" (\"内容\", \"姓名\", \"编号\") VALUES (?, ?, ?)")
            .arg(name)
            .toUtf8();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr);
    const QString comment =
        QStringLiteral("该生本学期学习态度端正，上课认真听讲，积极思考，作业按时完成，书写工整。"
                       "能团结同学，热心班级事务，乐于助人。希望今后在课外阅读上多下功夫，"
                       "开阔视野，在数学解题中更加细心，争取更大的进步！")
            .repeated(2);
    const QByteArray text = comment.toUtf8();
    for (int i = 0; i < students; ++i) {
        const QByteArray student = QStringLiteral("学生%1").arg(i).toUtf8();
        const QByteArray number = QByteArray::number(100001 + i);
        sqlite3_bind_text(st, 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, student.constData(), int(student.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, number.constData(), int(number.size()), SQLITE_TRANSIENT);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(h);
    return made.emplace(students, name).first->second;
}

// The baseline's read: every row's name, number and comment with plain
// SQLite, the settings rows and unnamed rows left out as the export does.
template <typename Each> void readPlain(const QString& cls, Each each) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(folder().db.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    const QByteArray sql =
        QStringLiteral("SELECT \"姓名\", \"编号\", \"内容\" FROM \"%1\" ORDER BY rowid").arg(cls).toUtf8();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        auto text = [&](int c) {
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                     sqlite3_column_bytes(st, c));
        };
        const QString number = text(1);
        QString name = text(0);
        if (number.startsWith(u"listKM") || name.isEmpty()) continue;
        each(std::move(name), text(2));
    }
    sqlite3_finalize(st);
    sqlite3_close(h);
}

void ExportRtf(benchmark::State& state) {
    const QString& cls = commentClass(int(state.range(0)));
    const QString path = folder().out("export.wps");
    for (auto _ : state) {
        QList<comments::CommentEntry> entries;
        comments::commentListing(cls, entries);
        QSaveFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(shell::RtfWriter::fromPlainText(comments::exportText(entries)));
        f.commit();
    }
    state.counters["students"] = double(state.range(0));
    state.counters["bytes"] = double(QFile(path).size());
}

void ExportRtf_Baseline(benchmark::State& state) {
    const QString& cls = commentClass(int(state.range(0)));
    const QString path = folder().out("baseline.wps");
    for (auto _ : state) {
        QByteArray rtf(
            "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}\\uc1\\f0\\fs24 ");
        readPlain(cls, [&](const QString& name, const QString& comment) {
            rtf += shell::RtfWriter::escape(name + u':');
            rtf += "\\par\n";
            rtf += shell::RtfWriter::escape(comment);
            rtf += "\\par\n";
        });
        rtf += '}';
        QSaveFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(rtf);
        f.commit();
    }
    state.counters["students"] = double(state.range(0));
}

void ExportXlsx(benchmark::State& state) {
    const QString& cls = commentClass(int(state.range(0)));
    const QString path = folder().out("export.xlsx");
    for (auto _ : state) {
        QFile::remove(path);
        QList<comments::CommentEntry> entries;
        comments::commentListing(cls, entries);
        comments::writeCommentWorkbook(entries, path);
    }
    state.counters["students"] = double(state.range(0));
    state.counters["bytes"] = double(QFile(path).size());
}

void ExportXlsx_Baseline(benchmark::State& state) {
    const QString& cls = commentClass(int(state.range(0)));
    const QByteArray path = folder().out("baseline.xlsx").toUtf8();
    for (auto _ : state) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook* book = workbook_new_opt(path.constData(), &options);
        lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
        lxw_format* name = workbook_add_format(book);
        format_set_bg_color(name, 0x00FFFF);
        format_set_pattern(name, LXW_PATTERN_SOLID);
        format_set_font_color(name, 0xFF0000);
        format_set_text_wrap(name);
        lxw_format* comment = workbook_add_format(book);
        format_set_border(comment, LXW_BORDER_THIN);
        format_set_border_color(comment, 0xFF00FF);
        format_set_text_wrap(comment);
        worksheet_set_column(sheet, 0, 0, 40, nullptr);
        lxw_row_t row = 0;
        readPlain(cls, [&](const QString& n, const QString& c) {
            worksheet_write_string(sheet, row, 0, n.toUtf8().constData(), name);
            worksheet_write_string(sheet, row + 1, 0, c.left(32767).toUtf8().constData(), comment);
            row += 3;
        });
        workbook_close(book);
    }
    state.counters["students"] = double(state.range(0));
}

} // namespace

BENCHMARK(ExportRtf)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportRtf_Baseline)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportXlsx)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportXlsx_Baseline)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
