#pragma once

#include "Bookmarks.h"
#include "shell/core/Outcome.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>
#include <deque>
#include <list>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace web {

// What a link check found. A site that turns the checker away (a login,
// a ban on robots, too many requests) is 拒绝访问, never 失效: the page may
// well be there for the teacher's browser.
enum class LinkStatus { Unchecked, Ok, Moved, Dead, Refused, TimedOut };
// "正常", "已移动", "失效", "拒绝访问", "超时"; empty for Unchecked.
QString linkStatusText(LinkStatus status);
LinkStatus linkStatusOfText(const QString& text);

struct LinkResult {
    qint64 key = -1; // the page's record
    QString address;
    LinkStatus status = LinkStatus::Unchecked;
    int httpStatus = 0;   // of the last answer; 0 without one
    QString finalAddress; // where redirects led (for 已移动)
    QString detail;       // a short Chinese note: "HTTP 404", "重定向循环", "找不到服务器"
    QDateTime checkedAt;
};

// Checks addresses in the background of the event loop: HEAD first, GET
// when HEAD is refused (only the headers are read, the body is dropped),
// redirects followed by hand (to report 已移动 and catch loops), every
// request bounded by a timeout, a few retries for a timeout, a refused
// connection or a server error, and at most `perHost` requests at a time
// to one host. Results come one by one through checked(); finished() when
// all are done or after stop().
class LinkChecker : public QObject {
    Q_OBJECT
public:
    struct Options {
        int timeoutMs = 10000;   // per request
        int retries = 2;         // more attempts after a timeout, refused connection or 5xx
        int retryDelayMs = 1000; // before each further attempt (doubled each time)
        int perHost = 2;         // requests at a time to one host
        int total = 8;           // requests at a time in all
        int maxRedirects = 8;
    };

    explicit LinkChecker(QObject* parent = nullptr);
    ~LinkChecker() override;
    void setOptions(const Options& o) { options_ = o; }
    const Options& options() const { return options_; }

    // Checks the pages (record key, address); any check still running goes on.
    void start(const QList<QPair<qint64, QString>>& pages);
    // Stops at once: requests are aborted, the rest not started; finished(true).
    void stop();
    bool running() const { return total_ > done_; }
    int doneCount() const { return done_; }
    int totalCount() const { return total_; }
    // The most requests that were ever running at once to one host (tests).
    int peakPerHost() const { return peakPerHost_; }

signals:
    void checked(const web::LinkResult& result);
    void progress(int done, int total);
    void finished(bool stopped);

private:
    struct Job;
    void pump();
    void send(const std::shared_ptr<Job>& job);
    void answered(const std::shared_ptr<Job>& job, QNetworkReply* reply);
    void retryOrEnd(const std::shared_ptr<Job>& job, LinkStatus status, const QString& detail);
    void end(const std::shared_ptr<Job>& job, LinkStatus status, const QString& detail);

    Options options_;
    QNetworkAccessManager* net_ = nullptr;
    // Waiting checks by host, hosts in the order they first came.
    QHash<QString, std::deque<std::shared_ptr<Job>>> waiting_;
    std::list<QString> hosts_;
    QSet<QNetworkReply*> replies_;
    QHash<QString, int> busyHosts_;
    int busy_ = 0;
    int done_ = 0;
    int total_ = 0;
    int peakPerHost_ = 0;
    quint64 generation_ = 0; // stop() makes pending retries of earlier checks void
};

// Stores results in one transaction (kLinkStatusField and kCheckedAtField
// added to a file made before them);
// results of pages deleted meanwhile are passed over.
shell::Outcome storeLinkResults(const QString& dbPath, const QList<LinkResult>& results);

} // namespace web
