// The web resource keeper at scale: 80,000 stored pages (a teacher who
// never deletes, over many years) and ten times that, and one capture tick
// over 50 top-level windows, on a private Xvfb when it is installed.
//
// BuildTree reads "filedata" and builds the tree (every category);
// ListMonth lists the "本月" group, a twelfth of the pages; TreeAndMonth is
// the two together, what opening the window and one click cost. The
// baseline reads the same rows through plain SQLite and does the same
// per-row work by hand (texts decoded, the date parsed and tested, the
// categories gathered, the grid's five texts made).

#include "shell/core/Grid.h"
#include "shell/ui/GridView.h"
#include "shell/ui/TreeView.h"
#include "store/Schema.h"
#include "store/Store.h"
#include "web/capture/BrowserCapture.h"
#include "web/capture/XcbWindows.h"
#include "web/model/BookmarkBrowser.h"
#include "web/ui/frmInternet.h"

#include <QDir>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstring>
#include <map>
#include <sqlite3.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

const QDate kToday(2024, 3, 13);
constexpr int kCategories = 300;

struct Folder {
    QTemporaryDir dir;
    Folder() { qputenv("VELTRANO_DATA_DIR", dir.path().toUtf8()); }
};
Folder& folder() {
    static Folder f;
    return f;
}

// A database file of its own per size, made once: set-up through plain SQL
// in one transaction, not measured.
const QString& pages(int n) {
    static std::map<int, QString> made;
    if (auto it = made.find(n); it != made.end()) return it->second;
    const QString sub = QDir(folder().dir.path()).filePath(QString::number(n));
    QDir().mkpath(sub);
    store::ensureDataFiles(sub);
    const QString db = QDir(sub).filePath(store::kCommonDb);
    sqlite3* h = nullptr;
    sqlite3_open(db.toUtf8().constData(), &h);
    sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, "INSERT INTO filedata VALUES (?, ?, ?, ?)", -1, &st, nullptr);
    for (int i = 0; i < n; ++i) {
        const QByteArray name = QStringLiteral("教学资源网页第%1号").arg(i).toUtf8();
        const QByteArray cat = QStringLiteral("类别%1").arg(i % kCategories).toUtf8();
        const QByteArray date = kToday.addDays(-(i % 1100)).toString(Qt::ISODate).toUtf8();
        const QByteArray url =
            QStringLiteral("https://www.example.edu.cn/resources/grade%1/lesson/%2/index.html?id=%3")
                .arg(i % 9)
                .arg(i % 400)
                .arg(i)
                .toUtf8();
        sqlite3_bind_text(st, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, cat.constData(), int(cat.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, date.constData(), int(date.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 4, url.constData(), int(url.size()), SQLITE_TRANSIENT);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(h);
    return made.emplace(n, db).first->second;
}

void BM_BuildTree(benchmark::State& state) {
    const QString& db = pages(int(state.range(0)));
    for (auto _ : state) {
        web::BookmarkBrowser b(db);
        b.setToday(kToday);
        if (!b.BuildBookmarkTree()) state.SkipWithError("tree");
        benchmark::DoNotOptimize(b.tree().count());
    }
}

void BM_ListMonth(benchmark::State& state) {
    const QString& db = pages(int(state.range(0)));
    web::BookmarkBrowser b(db);
    b.setToday(kToday);
    b.BuildBookmarkTree();
    for (auto _ : state) {
        if (!b.ListBookmarks(QStringLiteral("daMonth"))) state.SkipWithError("list");
        benchmark::DoNotOptimize(b.grid().rows());
    }
    state.counters["listed"] = b.listedCount();
}

void BM_TreeAndMonth(benchmark::State& state) {
    const QString& db = pages(int(state.range(0)));
    for (auto _ : state) {
        web::BookmarkBrowser b(db);
        b.setToday(kToday);
        b.BuildBookmarkTree();
        b.ListBookmarks(QStringLiteral("daMonth"));
        benchmark::DoNotOptimize(b.grid().rows());
    }
}

// The window: tree and grid shown in their views as well.
void BM_WindowTreeAndMonth(benchmark::State& state) {
    const QString& db = pages(int(state.range(0)));
    qputenv("VELTRANO_DATA_DIR", QFileInfo(db).absolutePath().toUtf8());
    for (auto _ : state) {
        web::frmInternet w;
        w.setToday(kToday);
        w.listNode(QStringLiteral("daMonth"));
        benchmark::DoNotOptimize(w.model().listedCount());
    }
    qputenv("VELTRANO_DATA_DIR", folder().dir.path().toUtf8());
}

// A floor: the store's cursor opened over the table and walked, nothing
// else; every read through the store pays at least this.
void BM_FloorOpenTable(benchmark::State& state) {
    const QString& db = pages(int(state.range(0)));
    for (auto _ : state) {
        auto rs = store::Recordset::OpenTable(db, web::kBookmarkTable);
        int n = 0;
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext())
            ++n;
        benchmark::DoNotOptimize(n);
    }
}

// The same rows and the same per-row work, written by hand over SQLite.
void BM_BaselineTreeAndMonth(benchmark::State& state) {
    const QString& db = pages(int(state.range(0)));
    sqlite3* h = nullptr;
    sqlite3_open_v2(db.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    for (auto _ : state) {
        QStringList categories;
        QSet<QString> seen;
        shell::Grid grid(16, 5);
        struct Row {
            QString name, cat, date, address;
        };
        std::vector<Row> rows;
        int listed = 0;
        for (int pass = 0; pass < 2; ++pass) {
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(
                h, "SELECT \"网页名称\", \"类别\", \"记录时间\", \"网站地址\" FROM filedata ORDER BY rowid",
                -1, &st, nullptr);
            while (sqlite3_step(st) == SQLITE_ROW) {
                auto text = [st](int c) {
                    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                             sqlite3_column_bytes(st, c));
                };
                const QString name = text(0), cat = text(1), address = text(3);
                const QDate d = QDate::fromString(text(2), Qt::ISODate);
                if (pass == 0) {
                    if (!cat.isEmpty() && !seen.contains(cat)) {
                        seen.insert(cat);
                        categories << cat;
                    }
                } else if (d.month() == kToday.month()) {
                    rows.push_back({name, cat,
                                    QStringLiteral("%1-%2-%3").arg(d.year()).arg(d.month()).arg(d.day()),
                                    address});
                }
            }
            sqlite3_finalize(st);
        }
        grid.ensureRows(qMax(16, int(rows.size()) + 1), 320);
        for (const Row& r : rows) {
            ++listed;
            grid.setText(listed, 0, QString::number(listed));
            grid.setText(listed, 1, r.name);
            grid.setText(listed, 2, r.cat);
            grid.setText(listed, 3, r.date);
            grid.setText(listed, 4, r.address);
        }
        benchmark::DoNotOptimize(categories.size());
        benchmark::DoNotOptimize(grid.rows());
    }
    sqlite3_close(h);
}

// --- one capture tick over 50 top-level windows -----------------------

constexpr int kWindows = 50;

// The browser is the last window, behind 49 others, each with a few
// children: every title is read and checked before it is found.
QList<web::capture::WindowNode> syntheticDesktop() {
    QList<web::capture::WindowNode> tops;
    for (int i = 0; i < kWindows - 1; ++i) {
        web::capture::WindowNode n{uint64_t(100 + i),
                                   QStringLiteral("文档%1 - 文字处理").arg(i),
                                   QStringLiteral("Soffice"),
                                   QStringLiteral("soffice"),
                                   {}};
        for (int k = 0; k < 3; ++k)
            n.children << web::capture::WindowNode{
                uint64_t(1000 + i * 10 + k), {}, QStringLiteral("Pane"), {}, {}};
        tops << n;
    }
    tops << web::capture::WindowNode{
        9,
        QStringLiteral("人教网 - Microsoft Internet Explorer"),
        QStringLiteral("IEFrame"),
        {},
        {{10, {}, QStringLiteral("ReBar"), {}, {{11, "http://www.pep.com.cn/", "Edit", {}, {}}}}}};
    return tops;
}

void BM_CaptureTickSynthetic(benchmark::State& state) {
    web::capture::BrowserCapture cap(std::make_unique<web::capture::WindowTree>(syntheticDesktop()), nullptr);
    for (auto _ : state) {
        const web::capture::CaptureResult r = cap.tick();
        if (r.address.isEmpty()) state.SkipWithError("no address");
        benchmark::DoNotOptimize(r.address.size());
    }
}

// A private X server with the same 50 windows, made through a connection of
// the benchmark's own.
struct XDesktop {
    QProcess xvfb;
    QByteArray display;
    xcb_connection_t* c = nullptr;
    QString why;
    XDesktop() {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
            why = QStringLiteral("Xvfb not installed: only the synthetic tick was measured");
            return;
        }
        xvfb.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-noreset", "-nolisten", "tcp"});
        QByteArray out;
        while (!out.contains('\n') && xvfb.waitForReadyRead(10000))
            out += xvfb.readAllStandardOutput();
        bool ok = false;
        const int n = out.trimmed().toInt(&ok);
        if (!ok) {
            why = QStringLiteral("Xvfb gave no display");
            return;
        }
        display = ":" + QByteArray::number(n);
        c = xcb_connect(display.constData(), nullptr);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        auto atom = [this](const char* name) {
            xcb_intern_atom_reply_t* r =
                xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
            const xcb_atom_t a = r ? r->atom : 0;
            free(r);
            return a;
        };
        const xcb_atom_t netName = atom("_NET_WM_NAME"), utf8 = atom("UTF8_STRING");
        auto window = [&](xcb_window_t parent, const QString& title, const QByteArray& cls) {
            const xcb_window_t w = xcb_generate_id(c);
            xcb_create_window(c, XCB_COPY_FROM_PARENT, w, parent, 0, 0, 100, 100, 0,
                              XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
            const QByteArray t = title.toUtf8();
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, netName, utf8, 8, uint32_t(t.size()),
                                t.constData());
            const QByteArray classes = cls + '\0' + cls + '\0';
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                                uint32_t(classes.size()), classes.constData());
            xcb_map_window(c, w);
            return w;
        };
        // Bottom first: the browser at the back.
        const xcb_window_t ie =
            window(root, QStringLiteral("人教网 - Microsoft Internet Explorer"), "IEFrame");
        window(window(ie, {}, "ReBar"), QStringLiteral("http://www.pep.com.cn/"), "Edit");
        for (int i = 0; i < kWindows - 1; ++i) {
            const xcb_window_t w = window(root, QStringLiteral("文档%1 - 文字处理").arg(i), "Soffice");
            for (int k = 0; k < 3; ++k)
                window(w, {}, "Pane");
        }
        free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    }
    ~XDesktop() {
        if (c) xcb_disconnect(c);
        xvfb.terminate();
        xvfb.waitForFinished(5000);
    }
};

void BM_CaptureTickXvfb(benchmark::State& state) {
    static XDesktop desk;
    if (desk.display.isEmpty()) {
        state.SkipWithError(desk.why.toUtf8().constData());
        return;
    }
    web::capture::BrowserCapture cap(std::make_unique<web::capture::XcbWindows>(desk.display), nullptr);
    for (auto _ : state) {
        const web::capture::CaptureResult r = cap.tick();
        if (r.address.isEmpty()) state.SkipWithError("no address");
        benchmark::DoNotOptimize(r.address.size());
    }
}

} // namespace

BENCHMARK(BM_BuildTree)->Arg(80000)->Arg(800000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListMonth)->Arg(80000)->Arg(800000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TreeAndMonth)->Arg(80000)->Arg(800000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowTreeAndMonth)->Arg(80000)->Arg(800000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorOpenTable)->Arg(80000)->Arg(800000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaselineTreeAndMonth)->Arg(80000)->Arg(800000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CaptureTickSynthetic)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CaptureTickXvfb)->Unit(benchmark::kMicrosecond);
