#include "LinkCheck.h"

#include "Bookmarks.h"
#include "store/Store.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace web {

using shell::Outcome;
using shell::Reason;

QString linkStatusText(LinkStatus status) {
    switch (status) {
    case LinkStatus::Unchecked:
        return {};
    case LinkStatus::Ok:
        return QStringLiteral("正常");
    case LinkStatus::Moved:
        return QStringLiteral("已移动");
    case LinkStatus::Dead:
        return QStringLiteral("失效");
    case LinkStatus::Refused:
        return QStringLiteral("拒绝访问");
    case LinkStatus::TimedOut:
        return QStringLiteral("超时");
    }
    return {};
}

LinkStatus linkStatusOfText(const QString& text) {
    for (LinkStatus s :
         {LinkStatus::Ok, LinkStatus::Moved, LinkStatus::Dead, LinkStatus::Refused, LinkStatus::TimedOut})
        if (text == linkStatusText(s)) return s;
    return LinkStatus::Unchecked;
}

struct LinkChecker::Job {
    qint64 key = -1;
    QString address;
    QUrl url;
    QString host; // the slot it holds: the host it started on
    bool head = true;
    int redirects = 0;
    int attempt = 0;
    QSet<QUrl> visited;
    bool timedOut = false;
    bool gotHeaders = false;
    quint64 generation = 0;
};

LinkChecker::LinkChecker(QObject* parent) : QObject(parent), net_(new QNetworkAccessManager(this)) {
    // Redirects are followed here, one request at a time, so that a loop is
    // seen and a move reported.
    net_->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

LinkChecker::~LinkChecker() {
    ++generation_;
    const QSet<QNetworkReply*> open = replies_;
    for (QNetworkReply* r : open)
        r->abort();
}

void LinkChecker::start(const QList<QPair<qint64, QString>>& pages) {
    for (const auto& [key, address] : pages) {
        auto job = std::make_shared<Job>();
        job->key = key;
        job->address = address;
        job->generation = generation_;
        const QString trimmed = address.trimmed();
        // A bare "www.…" is a web address, as the opener takes it.
        job->url = QUrl::fromUserInput(trimmed);
        job->host = job->url.host().toLower();
        job->visited.insert(job->url);
        ++total_;
        const QString scheme = job->url.scheme();
        if (!job->url.isValid() || job->host.isEmpty() ||
            (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
            // Nothing to ask a web server: reported at once, as unchecked.
            ++busy_;
            ++busyHosts_[job->host];
            end(job, LinkStatus::Unchecked, QStringLiteral("只能检查 http 和 https 网址"));
            continue;
        }
        auto& queue = waiting_[job->host];
        if (queue.empty()) hosts_.push_back(job->host);
        queue.push_back(std::move(job));
    }
    if (total_ == done_) {
        emit finished(false);
        return;
    }
    pump();
}

void LinkChecker::pump() {
    for (auto it = hosts_.begin(); it != hosts_.end() && busy_ < options_.total;) {
        auto& queue = waiting_[*it];
        int& busy = busyHosts_[*it];
        while (!queue.empty() && busy_ < options_.total && busy < options_.perHost) {
            std::shared_ptr<Job> job = std::move(queue.front());
            queue.pop_front();
            ++busy;
            ++busy_;
            peakPerHost_ = std::max(peakPerHost_, busy);
            send(job);
        }
        if (queue.empty()) {
            waiting_.remove(*it);
            it = hosts_.erase(it);
        } else {
            ++it;
        }
    }
}

void LinkChecker::send(const std::shared_ptr<Job>& job) {
    QNetworkRequest request(job->url);
    request.setRawHeader("User-Agent", "Mozilla/5.0 (X11; Linux x86_64) Veltrano/2.18 (link check)");
    request.setRawHeader("Accept", "text/html,application/xhtml+xml,*/*;q=0.8");
    job->timedOut = false;
    job->gotHeaders = false;
    QNetworkReply* reply = job->head ? net_->head(request) : net_->get(request);
    replies_.insert(reply);
    auto* timer = new QTimer(reply);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, reply, [job, reply] {
        job->timedOut = true;
        reply->abort();
    });
    timer->start(options_.timeoutMs);
    if (!job->head) {
        // The headers say all there is to know; the page itself is not read.
        connect(reply, &QNetworkReply::metaDataChanged, reply, [job, reply] {
            if (!reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) return;
            job->gotHeaders = true;
            reply->abort();
        });
    }
    connect(reply, &QNetworkReply::finished, this, [this, job, reply] { answered(job, reply); });
}

void LinkChecker::answered(const std::shared_ptr<Job>& job, QNetworkReply* reply) {
    replies_.remove(reply);
    reply->deleteLater();
    if (job->generation != generation_) return; // stopped meanwhile
    const int code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (job->timedOut && !job->gotHeaders) {
        retryOrEnd(job, LinkStatus::TimedOut, QStringLiteral("超时"));
        return;
    }
    if (code == 0) {
        switch (reply->error()) {
        case QNetworkReply::HostNotFoundError:
            end(job, LinkStatus::Dead, QStringLiteral("找不到服务器"));
            return;
        case QNetworkReply::SslHandshakeFailedError:
            end(job, LinkStatus::Dead, QStringLiteral("证书错误"));
            return;
        case QNetworkReply::TimeoutError:
        case QNetworkReply::OperationCanceledError:
            retryOrEnd(job, LinkStatus::TimedOut, QStringLiteral("超时"));
            return;
        default:
            retryOrEnd(job, LinkStatus::Dead, QStringLiteral("无法连接"));
            return;
        }
    }
    const QString http = QStringLiteral("HTTP %1").arg(code);
    if (code >= 300 && code < 400) {
        const QVariant target = reply->attribute(QNetworkRequest::RedirectionTargetAttribute);
        if (!target.isValid()) {
            end(job, code == 304 ? LinkStatus::Ok : LinkStatus::Dead, http);
            return;
        }
        const QUrl next = reply->url().resolved(target.toUrl());
        if (job->visited.contains(next)) {
            end(job, LinkStatus::Dead, QStringLiteral("重定向循环"));
            return;
        }
        if (++job->redirects > options_.maxRedirects) {
            end(job, LinkStatus::Dead, QStringLiteral("重定向次数过多"));
            return;
        }
        job->visited.insert(next);
        job->url = next;
        send(job);
        return;
    }
    // A bot wall answers with a challenge page, whatever the status.
    const bool challenge = reply->hasRawHeader("cf-mitigated");
    if (code >= 200 && code < 300) {
        if (challenge)
            end(job, LinkStatus::Refused, QStringLiteral("需要人机验证"));
        else
            end(job, job->redirects > 0 ? LinkStatus::Moved : LinkStatus::Ok, http);
        return;
    }
    // Many servers refuse HEAD (405, 501, even 403 or 404): ask with GET.
    if (job->head) {
        job->head = false;
        send(job);
        return;
    }
    if (challenge || code == 401 || code == 403 || code == 407 || code == 429 || code == 451) {
        end(job, LinkStatus::Refused, http);
        return;
    }
    if (code >= 500) {
        retryOrEnd(job, LinkStatus::Dead, http);
        return;
    }
    end(job, LinkStatus::Dead, http);
}

void LinkChecker::retryOrEnd(const std::shared_ptr<Job>& job, LinkStatus status, const QString& detail) {
    if (job->attempt >= options_.retries) {
        end(job, status, detail);
        return;
    }
    const int delay = options_.retryDelayMs << job->attempt;
    ++job->attempt;
    const quint64 generation = generation_;
    QTimer::singleShot(delay, this, [this, job, generation] {
        if (generation == generation_) send(job);
    });
}

void LinkChecker::end(const std::shared_ptr<Job>& job, LinkStatus status, const QString& detail) {
    LinkResult r;
    r.key = job->key;
    r.address = job->address;
    r.status = status;
    r.detail = detail;
    if (detail.startsWith(QLatin1String("HTTP "))) r.httpStatus = detail.mid(5).toInt();
    if (job->redirects > 0) r.finalAddress = job->url.toString();
    r.checkedAt = QDateTime::currentDateTime();
    --busy_;
    --busyHosts_[job->host];
    ++done_;
    emit checked(r);
    if (job->generation != generation_) return; // stopped from a slot of checked()
    emit progress(done_, total_);
    if (done_ == total_)
        emit finished(false);
    else
        pump();
}

void LinkChecker::stop() {
    if (!running()) return;
    ++generation_;
    waiting_.clear();
    hosts_.clear();
    const QSet<QNetworkReply*> open = replies_;
    for (QNetworkReply* r : open)
        r->abort();
    busy_ = 0;
    busyHosts_.clear();
    total_ = done_;
    emit finished(true);
}

Outcome storeLinkResults(const QString& dbPath, const QList<LinkResult>& results) {
    if (results.isEmpty()) return Outcome::done();
    QString why;
    auto rs = store::Recordset::OpenTable(dbPath, kBookmarkTable, &why);
    if (!rs) return Outcome::fail(Reason::NotOpen, why);
    if (rs->fieldIndex(kLinkStatusField) < 0 || rs->fieldIndex(kCheckedAtField) < 0) {
        // A file from before the check: the two fields join it, every page unchecked.
        store::Database db = rs->database();
        rs.reset();
        for (const store::FieldDef& f : {store::FieldDef{kLinkStatusField, store::FieldKind::Text, 10},
                                         store::FieldDef{kCheckedAtField, store::FieldKind::Text, 20}}) {
            if (db.fields(kBookmarkTable).isEmpty()) return Outcome::storeFailed(db.lastError());
            bool has = false;
            for (const store::FieldDef& d : db.fields(kBookmarkTable))
                has = has || d.name.compare(f.name, Qt::CaseInsensitive) == 0;
            if (!has && !db.addField(kBookmarkTable, f)) return Outcome::storeFailed(db.lastError());
        }
        rs = store::Recordset::OpenTable(db, kBookmarkTable, &why);
        if (!rs) return Outcome::fail(Reason::NotOpen, why);
    }
    const int statusAt = rs->fieldIndex(kLinkStatusField), timeAt = rs->fieldIndex(kCheckedAtField);
    QHash<qint64, const LinkResult*> byKey;
    for (const LinkResult& r : results)
        byKey.insert(r.key, &r);
    store::Database db = rs->database();
    if (!db.beginTransaction()) return Outcome::storeFailed(db.lastError());
    for (rs->MoveFirst(); !rs->isEOF() && !byKey.isEmpty(); rs->MoveNext()) {
        const LinkResult* r = byKey.take(rs->storedKey());
        if (!r) continue;
        const QString when = r->checkedAt.isValid()
                                 ? QStringLiteral("%1-%2-%3 %4")
                                       .arg(r->checkedAt.date().year())
                                       .arg(r->checkedAt.date().month())
                                       .arg(r->checkedAt.date().day())
                                       .arg(r->checkedAt.time().toString(QStringLiteral("HH:mm")))
                                 : QString();
        if (!rs->Edit() || !rs->SetField(statusAt, linkStatusText(r->status)) ||
            !rs->SetField(timeAt, when) || !rs->Update()) {
            why = rs->lastError();
            rs->CancelUpdate();
            db.rollback();
            return Outcome::storeFailed(why);
        }
    }
    if (!db.commit()) {
        why = db.lastError();
        db.rollback();
        return Outcome::storeFailed(why);
    }
    return Outcome::done();
}

} // namespace web
