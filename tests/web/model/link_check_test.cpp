#include "TestSupport.h"
#include "store/Schema.h"
#include "store/Store.h"
#include "web/model/Bookmarks.h"
#include "web/model/LinkCheck.h"

#include <QHash>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace web;
using testing_support::DataFolder;
using testing_support::waitFor;

namespace {

// A small HTTP server on 127.0.0.1 for one test: each path answers as a
// kind of site does. Every answer waits `delayMs`, so that requests overlap
// and the checker's limits show; the server notes the most requests it had
// open at once per Host header.
class SiteServer : public QObject {
public:
    int delayMs = 30;
    QHash<QByteArray, int> hits; // "GET /gone" → how many times
    QHash<QByteArray, int> peak; // Host header → most open at once
    QHash<QByteArray, int> open;

    SiteServer() {
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost));
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, s, [this, s] { read(s); });
        });
    }
    QString url(const QString& path, const QString& host = QStringLiteral("127.0.0.1")) const {
        return QStringLiteral("http://%1:%2%3").arg(host).arg(server_.serverPort()).arg(path);
    }

private:
    void read(QTcpSocket* s) {
        QByteArray& buf = pending_[s];
        buf += s->readAll();
        const qsizetype end = buf.indexOf("\r\n\r\n");
        if (end < 0) return;
        const QList<QByteArray> lines = buf.left(end).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        const QByteArray method = first.value(0), path = first.value(1);
        QByteArray host;
        for (const QByteArray& l : lines)
            if (l.toLower().startsWith("host:")) host = l.mid(5).trimmed().split(':').value(0);
        pending_.remove(s);
        ++hits[method + ' ' + path];
        const int now = ++open[host];
        peak[host] = std::max(peak[host], now);
        const int n = hits[method + ' ' + path];
        if (path == "/slow") return; // never answers
        QPointer<QTcpSocket> socket(s);
        QTimer::singleShot(delayMs, this, [this, socket, method, path, host, n] {
            --open[host];
            if (socket) answer(socket, method, path, n);
        });
    }

    static void reply(QTcpSocket* s, int code, const QByteArray& extra = {}) {
        s->write("HTTP/1.1 " + QByteArray::number(code) + " X\r\nContent-Length: 0\r\nConnection: close\r\n" +
                 extra + "\r\n");
        s->disconnectFromHost();
    }

    void answer(QTcpSocket* s, const QByteArray& method, const QByteArray& path, int n) {
        if (path == "/nohead") return reply(s, method == "HEAD" ? 405 : 200);
        if (path == "/gone") return reply(s, 404);
        if (path == "/auth") return reply(s, 401);
        if (path == "/forbidden") return reply(s, 403);
        if (path == "/busy") return reply(s, 429, "Retry-After: 3600\r\n");
        if (path == "/wall") return reply(s, 503, "cf-mitigated: challenge\r\n");
        if (path == "/moved") return reply(s, 301, "Location: /ok\r\n");
        if (path == "/loop") return reply(s, 302, "Location: /loop2\r\n");
        if (path == "/loop2") return reply(s, 302, "Location: /loop\r\n");
        if (path == "/broken") return reply(s, 500);
        if (path == "/flaky") return reply(s, n <= 2 ? 503 : 200);
        reply(s, 200);
    }

    QTcpServer server_;
    QHash<QTcpSocket*, QByteArray> pending_;
};

struct Checking {
    LinkChecker checker;
    QList<LinkResult> results;
    int finished = 0;
    bool stopped = false;
    explicit Checking(LinkChecker::Options o = fast()) {
        checker.setOptions(o);
        QObject::connect(&checker, &LinkChecker::checked, [this](const LinkResult& r) { results << r; });
        QObject::connect(&checker, &LinkChecker::finished, [this](bool s) {
            ++finished;
            stopped = s;
        });
    }
    static LinkChecker::Options fast() {
        LinkChecker::Options o;
        o.timeoutMs = 400;
        o.retries = 2;
        o.retryDelayMs = 0;
        return o;
    }
    LinkResult of(qint64 key) const {
        for (const LinkResult& r : results)
            if (r.key == key) return r;
        return {};
    }
};

} // namespace

TEST(LinkCheck, EveryKindOfAnswer) {
    SiteServer site;
    struct Case {
        const char* path;
        LinkStatus status;
        const char* detail;
    };
    const QList<Case> cases{
        {"/ok", LinkStatus::Ok, "HTTP 200"},
        {"/nohead", LinkStatus::Ok, "HTTP 200"}, // HEAD refused, GET answers
        {"/gone", LinkStatus::Dead, "HTTP 404"},
        {"/auth", LinkStatus::Refused, "HTTP 401"},
        {"/forbidden", LinkStatus::Refused, "HTTP 403"},
        {"/busy", LinkStatus::Refused, "HTTP 429"},
        {"/wall", LinkStatus::Refused, "HTTP 503"}, // a bot wall is never 失效
        {"/moved", LinkStatus::Moved, "HTTP 200"},
        {"/loop", LinkStatus::Dead, "重定向循环"},
        {"/broken", LinkStatus::Dead, "HTTP 500"},
        {"/flaky", LinkStatus::Ok, "HTTP 200"}, // a retry gets through
        {"/slow", LinkStatus::TimedOut, "超时"},
    };
    QList<QPair<qint64, QString>> pages;
    for (int i = 0; i < cases.size(); ++i)
        pages.append({i, site.url(QString::fromLatin1(cases[i].path))});
    pages.append({100, QStringLiteral("ftp://files.example.cn/a.doc")});
    Checking run;
    run.checker.start(pages);
    ASSERT_TRUE(waitFor([&] { return run.finished == 1; }, 15000));
    EXPECT_FALSE(run.stopped);
    ASSERT_EQ(run.results.size(), pages.size());
    for (int i = 0; i < cases.size(); ++i) {
        const LinkResult r = run.of(i);
        EXPECT_EQ(r.status, cases[i].status) << cases[i].path << " " << r.detail.toStdString();
        EXPECT_EQ(r.detail, QString::fromUtf8(cases[i].detail)) << cases[i].path;
        EXPECT_TRUE(r.checkedAt.isValid());
    }
    EXPECT_EQ(run.of(7).finalAddress, site.url("/ok"));
    EXPECT_EQ(run.of(100).status, LinkStatus::Unchecked);
    // Bounded: a failing server is asked three times (one try, two
    // retries) with GET after its HEAD; a timeout the same.
    EXPECT_EQ(site.hits.value("HEAD /broken"), 1);
    EXPECT_EQ(site.hits.value("GET /broken"), 3);
    EXPECT_EQ(site.hits.value("HEAD /slow") + site.hits.value("GET /slow"), 3);
    EXPECT_EQ(site.hits.value("GET /ok"), 0) << "HEAD was enough";
    EXPECT_EQ(run.checker.doneCount(), pages.size());
}

TEST(LinkCheck, AFewRequestsAtATimePerHost) {
    SiteServer site;
    site.delayMs = 60;
    QList<QPair<qint64, QString>> pages;
    for (int i = 0; i < 8; ++i) {
        pages.append({i, site.url(QStringLiteral("/a%1").arg(i))});
        pages.append({100 + i, site.url(QStringLiteral("/b%1").arg(i), QStringLiteral("localhost"))});
    }
    LinkChecker::Options o = Checking::fast();
    o.perHost = 2;
    o.total = 8;
    Checking run(o);
    QList<int> progress;
    QObject::connect(&run.checker, &LinkChecker::progress, [&](int done, int total) {
        EXPECT_EQ(total, 16);
        progress << done;
    });
    run.checker.start(pages);
    ASSERT_TRUE(waitFor([&] { return run.finished == 1; }, 15000));
    EXPECT_EQ(site.peak.value("127.0.0.1"), 2);
    EXPECT_EQ(site.peak.value("localhost"), 2);
    EXPECT_EQ(run.checker.peakPerHost(), 2);
    EXPECT_EQ(progress.size(), 16);
    EXPECT_EQ(progress.last(), 16);
    for (const LinkResult& r : run.results)
        EXPECT_EQ(r.status, LinkStatus::Ok) << r.address.toStdString();
}

TEST(LinkCheck, StopEndsAtOnce) {
    SiteServer site;
    QList<QPair<qint64, QString>> pages;
    for (int i = 0; i < 6; ++i)
        pages.append({i, site.url("/slow")});
    LinkChecker::Options o = Checking::fast();
    o.timeoutMs = 5000;
    Checking run(o);
    run.checker.start(pages);
    ASSERT_TRUE(waitFor([&] { return site.hits.value("HEAD /slow") >= 2; }));
    run.checker.stop();
    EXPECT_EQ(run.finished, 1);
    EXPECT_TRUE(run.stopped);
    EXPECT_FALSE(run.checker.running());
    // Nothing trickles in afterwards.
    EXPECT_FALSE(waitFor([&] { return !run.results.isEmpty() || run.finished > 1; }, 300));
    // And it can be started again.
    run.checker.start({{9, site.url("/ok")}});
    ASSERT_TRUE(waitFor([&] { return run.finished == 2; }, 5000));
    EXPECT_EQ(run.of(9).status, LinkStatus::Ok);
}

TEST(LinkCheck, ResultsStoredInFieldsAddedToAnOlderFile) {
    DataFolder data;
    const QString db = data.file(store::kCommonDb);
    ASSERT_TRUE(addBookmark(db, "a", "甲", QDate(2024, 3, 1), "http://a.example.cn/"));
    ASSERT_TRUE(addBookmark(db, "b", "甲", QDate(2024, 3, 2), "http://b.example.cn/"));
    QList<Bookmark> pages;
    ASSERT_TRUE(readBookmarks(db, &pages));
    const QDateTime when(QDate(2024, 3, 13), QTime(9, 5));
    LinkResult dead{pages[1].key, pages[1].address, LinkStatus::Dead, 404, {}, "HTTP 404", when};
    LinkResult gone{9999, "http://deleted.example.cn/", LinkStatus::Ok, 200, {}, "HTTP 200", when};
    ASSERT_TRUE(storeLinkResults(db, {dead, gone}));

    auto rs = store::Recordset::OpenTable(db, kBookmarkTable);
    ASSERT_NE(rs, nullptr);
    ASSERT_GE(rs->fieldIndex(kLinkStatusField), 4);
    rs->MoveFirst();
    EXPECT_EQ(rs->text(kLinkStatusField), QString());
    rs->MoveNext();
    EXPECT_EQ(rs->text(kLinkStatusField), QStringLiteral("失效"));
    EXPECT_EQ(rs->text(kCheckedAtField), QStringLiteral("2024-3-13 09:05"));
    // The older readers and writers go on as before.
    ASSERT_TRUE(addBookmark(db, "c", "乙", QDate(2024, 3, 3), "http://c.example.cn/"));
    QList<Bookmark> after;
    ASSERT_TRUE(readBookmarks(db, &after));
    ASSERT_EQ(after.size(), 3);
    EXPECT_EQ(after[2].name, "c");
    // A later check writes over the earlier one.
    dead.status = LinkStatus::Refused;
    ASSERT_TRUE(storeLinkResults(db, {dead}));
    ASSERT_TRUE(rs->Refresh());
    rs->MoveFirst();
    rs->MoveNext();
    EXPECT_EQ(rs->text(kLinkStatusField), QStringLiteral("拒绝访问"));
}
