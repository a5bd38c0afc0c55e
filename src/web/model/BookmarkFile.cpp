#include "BookmarkFile.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTimeZone>

namespace web {

using shell::Outcome;
using shell::Reason;

namespace {

// The charset a file names in its <META> line, lower case; empty when none.
QByteArray declaredCharset(const QByteArray& bytes) {
    const QByteArray head = bytes.left(4096).toLower();
    const qsizetype at = head.indexOf("charset=");
    if (at < 0) return {};
    qsizetype end = at + 8;
    while (end < head.size() && (std::isalnum(uchar(head[end])) || head[end] == '-' || head[end] == '_'))
        ++end;
    return head.mid(at + 8, end - at - 8);
}

std::optional<QString> decode(const QByteArray& bytes) {
    const QByteArray charset = declaredCharset(bytes);
    const bool gb = charset == "gbk" || charset == "gb2312" || charset == "gb18030" || charset == "cp936";
    QStringDecoder dec(gb ? QStringDecoder("GB18030") : QStringDecoder(QStringDecoder::Utf8));
    if (!dec.isValid()) return std::nullopt;
    QString text = dec.decode(bytes);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    return text;
}

const QHash<QString, QChar>& namedEntities() {
    static const QHash<QString, QChar> n{{QStringLiteral("amp"), u'&'},   {QStringLiteral("lt"), u'<'},
                                         {QStringLiteral("gt"), u'>'},    {QStringLiteral("quot"), u'"'},
                                         {QStringLiteral("apos"), u'\''}, {QStringLiteral("nbsp"), u' '}};
    return n;
}

// Character references as browsers write them (&amp; &#39; &#x2F;); an
// unknown or broken one is kept as it stands.
QString unescape(QStringView s) {
    if (!s.contains(u'&')) return s.toString();
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != u'&') {
            out += s[i];
            continue;
        }
        const qsizetype semi = s.indexOf(u';', i + 1);
        if (semi < 0 || semi - i > 10) {
            out += s[i];
            continue;
        }
        const QStringView ref = s.mid(i + 1, semi - i - 1);
        bool ok = false;
        char32_t code = 0;
        if (ref.startsWith(u'#')) {
            const bool hex = ref.size() > 1 && (ref[1] == u'x' || ref[1] == u'X');
            code = ref.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            ok = ok && code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
            if (ok) out += QString::fromUcs4(&code, 1);
        } else if (auto it = namedEntities().constFind(ref.toString().toLower());
                   it != namedEntities().cend()) {
            ok = true;
            out += *it;
        }
        if (!ok) {
            out += s[i];
            continue;
        }
        i = semi;
    }
    return out;
}

// A title or folder name: references decoded, runs of white space (line
// breaks included) made one blank, the ends trimmed.
QString cleanText(QStringView s) {
    return unescape(s).simplified();
}

// One tag: its lower-case name ("dl", "/dl", "a", …), its attributes by
// lower-case name, and where it ends.
struct Tag {
    QString name;
    QHash<QString, QString> attrs;
    qsizetype end = 0; // just past '>'
};

std::optional<Tag> readTag(const QString& t, qsizetype at) {
    // t[at] == '<'
    qsizetype i = at + 1;
    const qsizetype n = t.size();
    Tag tag;
    const qsizetype nameStart = i;
    while (i < n && !t[i].isSpace() && t[i] != u'>')
        ++i;
    tag.name = t.mid(nameStart, i - nameStart).toLower();
    while (i < n && t[i] != u'>') {
        if (t[i].isSpace() || t[i] == u'/') {
            ++i;
            continue;
        }
        const qsizetype keyStart = i;
        while (i < n && !t[i].isSpace() && t[i] != u'=' && t[i] != u'>')
            ++i;
        const QString key = t.mid(keyStart, i - keyStart).toLower();
        while (i < n && t[i].isSpace())
            ++i;
        QString value;
        if (i < n && t[i] == u'=') {
            ++i;
            while (i < n && t[i].isSpace())
                ++i;
            if (i < n && (t[i] == u'"' || t[i] == u'\'')) {
                const QChar quote = t[i];
                const qsizetype close = t.indexOf(quote, i + 1);
                if (close < 0) return std::nullopt;
                value = unescape(QStringView(t).mid(i + 1, close - i - 1));
                i = close + 1;
            } else {
                const qsizetype vs = i;
                while (i < n && !t[i].isSpace() && t[i] != u'>')
                    ++i;
                value = unescape(QStringView(t).mid(vs, i - vs));
            }
        }
        tag.attrs.insert(key, value);
    }
    if (i >= n) return std::nullopt;
    tag.end = i + 1;
    return tag;
}

// The text up to the closing tag `close` ("</a>"), without regard to case;
// `*end` goes past it (or to the next '<' when the file never closes it).
QStringView textUntil(const QString& t, qsizetype from, QLatin1String close, qsizetype* end) {
    qsizetype at = t.indexOf(close, from, Qt::CaseInsensitive);
    if (at < 0) {
        at = t.indexOf(u'<', from);
        if (at < 0) at = t.size();
        *end = at;
    } else {
        *end = at + close.size();
    }
    return QStringView(t).mid(from, at - from);
}

// ADD_DATE is seconds since 1970 (Firefox, Chromium); some tools write
// milliseconds or microseconds, told apart by their size.
QDate dateOfStamp(const QString& text) {
    bool ok = false;
    qint64 v = text.trimmed().toLongLong(&ok);
    if (!ok || v <= 0) return {};
    if (v > 100'000'000'000'000LL)
        v /= 1'000'000;
    else if (v > 100'000'000'000LL)
        v /= 1000;
    return QDateTime::fromSecsSinceEpoch(v).date();
}

bool browserOwnFolder(const Tag& h3) {
    return h3.attrs.contains(QStringLiteral("personal_toolbar_folder")) ||
           h3.attrs.contains(QStringLiteral("unfiled_bookmarks_folder"));
}

} // namespace

Outcome parseBookmarkFile(const QByteArray& bytes, QList<FilePage>* out) {
    out->clear();
    const std::optional<QString> decoded = decode(bytes);
    if (!decoded) return Outcome::fail(Reason::Failed, QStringLiteral("系统不支持这个书签文件的编码！"));
    const QString& t = *decoded;
    // Every browser writes the DOCTYPE; a hand-made file may only have the lists.
    const bool marked = t.left(1024).contains(QLatin1String("NETSCAPE-Bookmark-file-1"), Qt::CaseInsensitive);
    if (!marked && !(t.contains(QLatin1String("<dl"), Qt::CaseInsensitive) &&
                     t.contains(QLatin1String("<a "), Qt::CaseInsensitive)))
        return Outcome::fail(Reason::Invalid, QStringLiteral("这不是浏览器导出的书签文件（HTML 格式）！"));

    // The folders open around the current place: a name, or empty for a
    // list that belongs to no named folder (the root, the toolbar).
    QStringList open;
    QString pending; // the folder named by the last <H3>, waiting for its <DL>
    bool pendingSet = false;
    int line = 1;
    qsizetype counted = 0; // line is the line of position `counted`
    auto lineAt = [&](qsizetype pos) {
        line += int(QStringView(t).mid(counted, pos - counted).count(u'\n'));
        counted = pos;
        return line;
    };
    auto path = [&open] {
        QStringList named;
        for (const QString& f : open)
            if (!f.isEmpty()) named << f;
        return named.join(u'/');
    };

    qsizetype i = 0;
    const qsizetype n = t.size();
    while ((i = t.indexOf(u'<', i)) >= 0 && i < n) {
        if (QStringView(t).mid(i, 4) == QLatin1String("<!--")) {
            const qsizetype close = t.indexOf(QLatin1String("-->"), i + 4);
            i = close < 0 ? n : close + 3;
            continue;
        }
        const std::optional<Tag> tag = readTag(t, i);
        if (!tag) break;
        const qsizetype at = i;
        i = tag->end;
        if (tag->name == QLatin1String("h3")) {
            qsizetype end = 0;
            const QString name = cleanText(textUntil(t, i, QLatin1String("</h3>"), &end));
            pending = browserOwnFolder(*tag) ? QString() : name;
            pendingSet = true;
            i = end;
        } else if (tag->name == QLatin1String("dl")) {
            // A folder whose name is all blanks still is a folder: it adds
            // nothing to the path.
            open << (pendingSet ? pending : QString());
            pending.clear();
            pendingSet = false;
        } else if (tag->name == QLatin1String("/dl")) {
            if (!open.isEmpty()) open.removeLast();
            pendingSet = false;
        } else if (tag->name == QLatin1String("a")) {
            qsizetype end = 0;
            FilePage p;
            p.name = cleanText(textUntil(t, i, QLatin1String("</a>"), &end));
            p.address = tag->attrs.value(QStringLiteral("href")).trimmed();
            p.date = dateOfStamp(tag->attrs.value(QStringLiteral("add_date")));
            p.category = path();
            p.line = lineAt(at);
            out->append(std::move(p));
            i = end;
        }
    }
    return Outcome::done();
}

Outcome readBookmarkFile(const QString& path, QList<FilePage>* out) {
    out->clear();
    QFile f(path);
    if (!f.exists()) return Outcome::fail(Reason::NotFound, QStringLiteral("找不到文件“%1”！").arg(path));
    if (!f.open(QIODevice::ReadOnly))
        return Outcome::fail(Reason::Failed,
                             QStringLiteral("无法读取文件“%1”：%2！").arg(path, f.errorString()));
    const Outcome parsed = parseBookmarkFile(f.readAll(), out);
    if (parsed) return parsed;
    return Outcome::fail(parsed.reason, QStringLiteral("文件“%1”：%2").arg(path, parsed.messages.value(0)));
}

namespace {

QString escaped(const QString& s) {
    QString out;
    out.reserve(s.size() + 8);
    for (QChar c : s) {
        switch (c.unicode()) {
        case u'&':
            out += QLatin1String("&amp;");
            break;
        case u'<':
            out += QLatin1String("&lt;");
            break;
        case u'>':
            out += QLatin1String("&gt;");
            break;
        case u'"':
            out += QLatin1String("&quot;");
            break;
        case u'\n':
        case u'\r':
            out += u' ';
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString stamp(const QDate& d) {
    if (!d.isValid()) return {};
    return QStringLiteral(" ADD_DATE=\"%1\"").arg(d.startOfDay().toSecsSinceEpoch());
}

// A folder of the file: its pages and sub-folders in first-use order.
struct Folder {
    QString name;
    QDate date; // the earliest page's day
    QList<const Bookmark*> pages;
    QList<Folder> subs;
    Folder& sub(const QString& n) {
        for (Folder& f : subs)
            if (f.name == n) return f;
        subs.append(Folder{n, {}, {}, {}});
        return subs.last();
    }
};

void writeFolder(QString& out, const Folder& f, int depth) {
    const QString indent(4 * depth, u' ');
    for (const Bookmark* b : f.pages)
        out += indent + QStringLiteral("<DT><A HREF=\"%1\"%2>%3</A>\n")
                            .arg(escaped(b->address), stamp(b->date), escaped(b->name));
    for (const Folder& s : f.subs) {
        out += indent + QStringLiteral("<DT><H3%1>%2</H3>\n").arg(stamp(s.date), escaped(s.name));
        out += indent + QStringLiteral("<DL><p>\n");
        writeFolder(out, s, depth + 1);
        out += indent + QStringLiteral("</DL><p>\n");
    }
}

void noteDate(Folder& f, const QDate& d) {
    if (d.isValid() && (!f.date.isValid() || d < f.date)) f.date = d;
}

} // namespace

QByteArray bookmarkFileText(const QList<Bookmark>& pages) {
    Folder root;
    for (const Bookmark& b : pages) {
        Folder* f = &root;
        // "语文/古诗" nests, as an import joined the folders; empty parts
        // ("a//b", a leading "/") are no folders.
        for (const QString& part : b.category.split(u'/', Qt::SkipEmptyParts)) {
            f = &f->sub(part);
            noteDate(*f, b.date);
        }
        f->pages << &b;
    }
    QString out = QStringLiteral("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
                                 "<!-- This is an automatically generated file.\n"
                                 "     It will be read and overwritten.\n"
                                 "     DO NOT EDIT! -->\n"
                                 "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
                                 "<meta http-equiv=\"Content-Security-Policy\"\n"
                                 "      content=\"default-src 'self'; script-src 'none'; img-src data: *; "
                                 "object-src 'none'\"></meta>\n"
                                 "<TITLE>Bookmarks</TITLE>\n"
                                 "<H1>Bookmarks</H1>\n"
                                 "\n"
                                 "<DL><p>\n");
    writeFolder(out, root, 1);
    out += QStringLiteral("</DL>\n");
    return out.toUtf8();
}

Outcome writeBookmarkFile(const QString& path, const QList<Bookmark>& pages) {
    QSaveFile f(path);
    const QByteArray text = bookmarkFileText(pages);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size() || !f.commit())
        return Outcome::fail(Reason::Failed,
                             QStringLiteral("无法写入文件“%1”：%2！").arg(path, f.errorString()));
    return Outcome::done();
}

} // namespace web
