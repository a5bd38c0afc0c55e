// The bookmark window's tools at scale.
//
// Import: a browser bookmark file of 20,000 pages (and ten times that) read,
// planned against 20,000 stored pages (the duplicate check: every address
// normalised) and its new pages written in one transaction. The floor does
// less: the same rows written through plain SQLite in one transaction, with
// a hash of the raw addresses as the only check.
//
// Search: 800,000 pages (and ten times that) searched keystroke by
// keystroke, as the teacher types "lesson/37"; the first keystroke scans
// everything, the following ones narrow the last hits. SearchIndex is the
// index alone; SearchWindowModel lists the hits into the grid as the
// window does (800,000 and 80,000 pages, through the store). The floor is
// one memmem pass over the same text per keystroke, without finding pages.
//
// Link check: 1,000 links (and ten times that) against a server on
// 127.0.0.1 that answers at once; the baseline sends the same HEAD requests
// with the same concurrency through QNetworkAccessManager by hand, so the
// difference per link is the checker's own overhead.

#include "store/Schema.h"
#include "store/Store.h"
#include "web/model/BookmarkBrowser.h"
#include "web/model/BookmarkFile.h"
#include "web/model/BookmarkImport.h"
#include "web/model/BookmarkSearch.h"
#include "web/model/LinkCheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSet>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstring>
#include <map>
#include <sqlite3.h>

namespace {

const QDate kToday(2024, 3, 13);

QTemporaryDir& scratch() {
    static QTemporaryDir d;
    return d;
}

QString address(int i) {
    return QStringLiteral("https://www.example.edu.cn/resources/grade%1/lesson/%2/index.html?id=%3")
        .arg(i % 9)
        .arg(i % 400)
        .arg(i);
}

// A data folder whose "filedata" holds `n` pages (plain SQL, not measured).
QString storedPages(int n, const QString& name) {
    const QString sub = QDir(scratch().path()).filePath(name);
    QDir().mkpath(sub);
    store::ensureDataFiles(sub);
    const QString db = QDir(sub).filePath(store::kCommonDb);
    sqlite3* h = nullptr;
    sqlite3_open(db.toUtf8().constData(), &h);
    sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, "INSERT INTO filedata VALUES (?, ?, ?, ?)", -1, &st, nullptr);
    for (int i = 0; i < n; ++i) {
        const QByteArray pageName = QStringLiteral("教学资源网页第%1号").arg(i).toUtf8();
        const QByteArray cat = QStringLiteral("类别%1").arg(i % 300).toUtf8();
        const QByteArray date = kToday.addDays(-(i % 1100)).toString(Qt::ISODate).toUtf8();
        const QByteArray url = address(i).toUtf8();
        sqlite3_bind_text(st, 1, pageName.constData(), int(pageName.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, cat.constData(), int(cat.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, date.constData(), int(date.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 4, url.constData(), int(url.size()), SQLITE_TRANSIENT);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(h);
    return db;
}

// A browser's file of `n` pages in 40 folders of two levels; one page in
// twenty repeats one stored already (`stored` pages are), one in fifty
// repeats an earlier page of the file.
QByteArray importFile(int n, int stored) {
    QList<web::Bookmark> pages;
    pages.reserve(n);
    for (int i = 0; i < n; ++i) {
        QString url = i % 20 == 0 ? address(i % stored) : address(stored + i);
        if (i % 50 == 1 && i > 50) url = address(stored + i - 50);
        pages.append({i,
                      QStringLiteral("导入的网页%1").arg(i),
                      QStringLiteral("学科%1/单元%2").arg(i % 8).arg(i % 5),
                      kToday.addDays(-(i % 700)),
                      {},
                      url + QStringLiteral("&utm_source=wx")});
    }
    return web::bookmarkFileText(pages);
}

QString copyOf(const QString& db, const QString& name) {
    const QString to = QDir(scratch().path()).filePath(name);
    QDir().mkpath(to);
    const QString file = QDir(to).filePath(store::kCommonDb);
    QFile::remove(file);
    QFile::copy(db, file);
    return file;
}

void BM_Import(benchmark::State& state) {
    const int n = int(state.range(0));
    const int stored = 20000;
    static const QString base = storedPages(stored, QStringLiteral("import-base"));
    const QByteArray file = importFile(n, stored);
    int written = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString db = copyOf(base, QStringLiteral("import-run"));
        state.ResumeTiming();
        QList<web::FilePage> pages;
        if (!web::parseBookmarkFile(file, &pages)) state.SkipWithError("parse");
        QList<web::Bookmark> existing;
        web::BookmarkLimits limits;
        if (!web::readBookmarks(db, &existing, &limits)) state.SkipWithError("read");
        const web::ImportPlan plan = web::planImport(pages, existing, limits, kToday);
        if (!web::importPages(db, plan, false, &written)) state.SkipWithError("write");
    }
    state.counters["written"] = written;
    state.counters["per_page"] = benchmark::Counter(double(n), benchmark::Counter::kIsIterationInvariantRate |
                                                                   benchmark::Counter::kInvert);
}

void BM_FloorImportRawSqlite(benchmark::State& state) {
    const int n = int(state.range(0));
    const int stored = 20000;
    static const QString base = storedPages(stored, QStringLiteral("import-base-floor"));
    for (auto _ : state) {
        state.PauseTiming();
        const QString db = copyOf(base, QStringLiteral("import-floor"));
        state.ResumeTiming();
        QSet<QByteArray> seen;
        for (int i = 0; i < stored; ++i)
            seen.insert(address(i).toUtf8());
        sqlite3* h = nullptr;
        sqlite3_open(db.toUtf8().constData(), &h);
        sqlite3_exec(h, "PRAGMA synchronous=FULL; BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(h, "INSERT INTO filedata VALUES (?, ?, ?, ?)", -1, &st, nullptr);
        for (int i = 0; i < n; ++i) {
            const QByteArray url = address(stored + i).toUtf8();
            if (seen.contains(url)) continue;
            seen.insert(url);
            const QByteArray name = QStringLiteral("导入的网页%1").arg(i).toUtf8();
            const QByteArray cat = QStringLiteral("学科%1/单元%2").arg(i % 8).arg(i % 5).toUtf8();
            sqlite3_bind_text(st, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 2, cat.constData(), int(cat.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 3, "2024-03-13", 10, SQLITE_STATIC);
            sqlite3_bind_text(st, 4, url.constData(), int(url.size()), SQLITE_TRANSIENT);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(h);
    }
}

// ------------------------------------------------------------------ search

const QStringList& keystrokes() {
    static const QStringList k = [] {
        const QString typed = QStringLiteral("lesson/37");
        QStringList out;
        for (int i = 1; i <= typed.size(); ++i)
            out << typed.left(i);
        return out;
    }();
    return k;
}

web::BookmarkSearch& index(int n) {
    static std::map<int, std::unique_ptr<web::BookmarkSearch>> made;
    auto& s = made[n];
    if (!s) {
        s = std::make_unique<web::BookmarkSearch>();
        for (int i = 0; i < n; ++i)
            s->add(QStringLiteral("教学资源网页第%1号").arg(i), QStringLiteral("类别%1").arg(i % 300),
                   address(i));
    }
    return *s;
}

void BM_SearchIndexTyping(benchmark::State& state) {
    web::BookmarkSearch& s = index(int(state.range(0)));
    size_t hits = 0;
    for (auto _ : state) {
        s.find(QString()); // a fresh search: the first keystroke scans all
        for (const QString& q : keystrokes())
            hits = s.find(q).size();
    }
    state.counters["per_key"] =
        benchmark::Counter(double(keystrokes().size()),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["last_hits"] = double(hits);
}

void BM_SearchIndexFirstKey(benchmark::State& state) {
    web::BookmarkSearch& s = index(int(state.range(0)));
    for (auto _ : state) {
        s.find(QString());
        benchmark::DoNotOptimize(s.find(QStringLiteral("3")).size());
    }
}

void BM_FloorMemmemPerKey(benchmark::State& state) {
    const int n = int(state.range(0));
    static std::map<int, QByteArray> texts;
    QByteArray& text = texts[n];
    if (text.isEmpty())
        for (int i = 0; i < n; ++i)
            text += QStringLiteral("教学资源网页第%1号\x1f类别%2\x1f%3\n")
                        .arg(i)
                        .arg(i % 300)
                        .arg(address(i).toCaseFolded())
                        .toUtf8();
    size_t found = 0;
    for (auto _ : state)
        for (const QString& q : keystrokes()) {
            const QByteArray w = q.toUtf8();
            const char* at = text.constData();
            const char* end = at + text.size();
            found = 0;
            while (const void* m = memmem(at, size_t(end - at), w.constData(), size_t(w.size()))) {
                ++found;
                at = static_cast<const char*>(m) + 1;
            }
        }
    benchmark::DoNotOptimize(found);
    state.counters["per_key"] =
        benchmark::Counter(double(keystrokes().size()),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_SearchWindowModelTyping(benchmark::State& state) {
    const int n = int(state.range(0));
    static std::map<int, QString> dbs;
    QString& db = dbs[n];
    if (db.isEmpty()) db = storedPages(n, QStringLiteral("search-%1").arg(n));
    web::BookmarkBrowser b(db);
    b.search(QStringLiteral("x")); // the index is built once, when the window first searches
    for (auto _ : state) {
        b.search(QString());
        for (const QString& q : keystrokes())
            if (!b.search(q)) state.SkipWithError("search");
    }
    state.counters["per_key"] =
        benchmark::Counter(double(keystrokes().size()),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["found"] = b.foundCount();
}

// --------------------------------------------------------------- link check

// Answers every request at once with 200 and closes.
class QuickSite : public QObject {
public:
    QuickSite() {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
                connect(s, &QTcpSocket::readyRead, s, [s] {
                    if (!s->peek(4096).contains("\r\n\r\n")) return;
                    s->readAll();
                    s->write("HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                    s->disconnectFromHost();
                });
            }
        });
    }
    QString url(int i) const {
        return QStringLiteral("http://127.0.0.1:%1/p%2").arg(server_.serverPort()).arg(i);
    }

private:
    QTcpServer server_;
};

constexpr int kParallel = 2; // the checker's requests at a time to one host

void BM_LinkCheck(benchmark::State& state) {
    const int n = int(state.range(0));
    QuickSite site;
    QList<QPair<qint64, QString>> pages;
    for (int i = 0; i < n; ++i)
        pages.append({i, site.url(i)});
    int ok = 0;
    for (auto _ : state) {
        web::LinkChecker checker;
        bool done = false;
        ok = 0;
        QObject::connect(&checker, &web::LinkChecker::checked,
                         [&](const web::LinkResult& r) { ok += r.status == web::LinkStatus::Ok; });
        QObject::connect(&checker, &web::LinkChecker::finished, [&] { done = true; });
        checker.start(pages);
        while (!done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (ok != n) state.SkipWithError("not every link was 正常");
    state.counters["per_link"] = benchmark::Counter(double(n), benchmark::Counter::kIsIterationInvariantRate |
                                                                   benchmark::Counter::kInvert);
}

void BM_BaselineLinkCheckByHand(benchmark::State& state) {
    const int n = int(state.range(0));
    QuickSite site;
    for (auto _ : state) {
        QNetworkAccessManager net;
        int next = 0, done = 0;
        std::function<void()> send = [&] {
            QNetworkReply* r = net.head(QNetworkRequest(QUrl(site.url(next++))));
            QObject::connect(r, &QNetworkReply::finished, [&, r] {
                r->deleteLater();
                ++done;
                if (next < n) send();
            });
        };
        for (int i = 0; i < kParallel && next < n; ++i)
            send();
        while (done < n)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    state.counters["per_link"] = benchmark::Counter(double(n), benchmark::Counter::kIsIterationInvariantRate |
                                                                   benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_Import)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FloorImportRawSqlite)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SearchIndexTyping)->Arg(800000)->Arg(8000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchIndexFirstKey)->Arg(800000)->Arg(8000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorMemmemPerKey)->Arg(800000)->Arg(8000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchWindowModelTyping)->Arg(80000)->Arg(800000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LinkCheck)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_BaselineLinkCheckByHand)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(2);
