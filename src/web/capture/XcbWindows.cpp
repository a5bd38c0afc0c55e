#include "XcbWindows.h"

#include "BrowserTitles.h"

#include <algorithm>
#include <cstdlib>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

namespace web::capture {

namespace {

// free() for every reply xcb hands out.
struct FreeReply {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

// A walk for the "Edit" window stops this deep and after this many windows:
// a hostile or broken tree must not hold the timer up.
constexpr int kMaxDepth = 32;
constexpr int kMaxVisited = 4096;

uint32_t longsFor(int characters) {
    // Up to four bytes a character in UTF-8, four bytes a long.
    return uint32_t(characters) + 1;
}

} // namespace

struct XcbWindows::Impl {
    xcb_connection_t* conn = nullptr;
    xcb_window_t root = 0;
    int screen = 0;
    xcb_ewmh_connection_t ewmh{};
    bool ewmhReady = false;
    QSet<uint64_t> own;

    struct Cookies {
        xcb_get_property_cookie_t netName, name, wmClass, pid;
    };

    Cookies ask(xcb_window_t w, int titleLength) const {
        Cookies c;
        c.netName =
            xcb_get_property(conn, 0, w, ewmh._NET_WM_NAME, ewmh.UTF8_STRING, 0, longsFor(titleLength));
        c.name = xcb_get_property(conn, 0, w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0,
                                  longsFor(titleLength));
        c.wmClass = xcb_get_property(conn, 0, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 128);
        c.pid = xcb_get_property(conn, 0, w, ewmh._NET_WM_PID, XCB_ATOM_CARDINAL, 0, 1);
        return c;
    }

    // A text property: UTF8_STRING as UTF-8, anything else (STRING,
    // COMPOUND_TEXT in its ASCII subset) as Latin-1. A value with more
    // bytes than were asked for comes back with one character too many so
    // the caller sees it is over its bound.
    QString text(xcb_get_property_cookie_t cookie, int limit) const {
        Reply<xcb_get_property_reply_t> r(xcb_get_property_reply(conn, cookie, nullptr));
        if (!r || r->format != 8) return {};
        const int len = xcb_get_property_value_length(r.get());
        const char* v = static_cast<const char*>(xcb_get_property_value(r.get()));
        if (len <= 0 || !v) return {};
        QString s = r->type == ewmh.UTF8_STRING ? QString::fromUtf8(v, len) : QString::fromLatin1(v, len);
        if (r->bytes_after > 0 && s.size() <= limit) s.append(QString(limit + 1 - s.size(), QChar(u'…')));
        return s;
    }

    QString title(const Cookies& c, int limit) const {
        QString t = text(c.netName, limit);
        QString plain = text(c.name, limit);
        return t.isEmpty() ? plain : t;
    }

    void classOf(xcb_get_property_cookie_t cookie, QString* wmClass, QString* instance) const {
        Reply<xcb_get_property_reply_t> r(xcb_get_property_reply(conn, cookie, nullptr));
        if (!r || r->format != 8) return;
        const int len = xcb_get_property_value_length(r.get());
        const char* v = static_cast<const char*>(xcb_get_property_value(r.get()));
        if (len <= 0 || !v) return;
        // "instance\0class\0"
        const QByteArray all(v, len);
        const QList<QByteArray> parts = all.split('\0');
        if (!parts.isEmpty()) *instance = QString::fromLatin1(parts.at(0));
        if (parts.size() > 1) *wmClass = QString::fromLatin1(parts.at(1));
    }

    bool ours(xcb_get_property_cookie_t cookie) const {
        Reply<xcb_get_property_reply_t> r(xcb_get_property_reply(conn, cookie, nullptr));
        if (!r || r->format != 32 || xcb_get_property_value_length(r.get()) < 4) return false;
        return *static_cast<const uint32_t*>(xcb_get_property_value(r.get())) == uint32_t(getpid());
    }

    // The window manager's list (front to back), or false without one.
    bool managerList(std::vector<xcb_window_t>* out) {
        if (!ewmhReady) return false;
        for (bool stacking : {true, false}) {
            xcb_ewmh_get_windows_reply_t list;
            const xcb_get_property_cookie_t c = stacking ? xcb_ewmh_get_client_list_stacking(&ewmh, screen)
                                                         : xcb_ewmh_get_client_list(&ewmh, screen);
            if (!xcb_ewmh_get_windows_reply(&ewmh, c, &list, nullptr)) continue;
            out->assign(list.windows, list.windows + list.windows_len);
            xcb_ewmh_get_windows_reply_wipe(&list);
            if (out->empty()) continue;
            // Both lists run bottom (or oldest) first.
            std::reverse(out->begin(), out->end());
            return true;
        }
        return false;
    }

    // The root's children that are on screen, top first.
    std::vector<xcb_window_t> mappedChildren(xcb_window_t parent) const {
        std::vector<xcb_window_t> kids;
        Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(conn, xcb_query_tree(conn, parent), nullptr));
        if (!tree) return kids;
        const xcb_window_t* w = xcb_query_tree_children(tree.get());
        const int n = xcb_query_tree_children_length(tree.get());
        std::vector<xcb_get_window_attributes_cookie_t> cookies;
        cookies.reserve(size_t(n));
        for (int i = 0; i < n; ++i)
            cookies.push_back(xcb_get_window_attributes(conn, w[i]));
        // Every reply is read (and freed), top first.
        for (int i = n - 1; i >= 0; --i) {
            Reply<xcb_get_window_attributes_reply_t> a(
                xcb_get_window_attributes_reply(conn, cookies[size_t(i)], nullptr));
            if (a && a->map_state == XCB_MAP_STATE_VIEWABLE && !a->override_redirect) kids.push_back(w[i]);
        }
        return kids;
    }

    std::vector<xcb_window_t> children(xcb_window_t parent) const {
        std::vector<xcb_window_t> kids;
        Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(conn, xcb_query_tree(conn, parent), nullptr));
        if (!tree) return kids;
        const xcb_window_t* w = xcb_query_tree_children(tree.get());
        const int n = xcb_query_tree_children_length(tree.get());
        // Top child first, as the child list of a window is walked.
        for (int i = n - 1; i >= 0; --i)
            kids.push_back(w[i]);
        return kids;
    }

    QString findEdit(xcb_window_t w, int depth, int* visited) const {
        if (depth > kMaxDepth || ++*visited > kMaxVisited) return {};
        QString wmClass, instance;
        classOf(xcb_get_property(conn, 0, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 128), &wmClass,
                &instance);
        if (wmClass.endsWith(QLatin1String("Edit"))) {
            const Cookies c = ask(w, kMaxCapturedAddress);
            QString t = title(c, kMaxCapturedAddress);
            // The replies of the class and pid requests are read and freed.
            QString ignoredClass, ignoredInstance;
            classOf(c.wmClass, &ignoredClass, &ignoredInstance);
            ours(c.pid);
            return t;
        }
        for (xcb_window_t child : children(w)) {
            QString t = findEdit(child, depth + 1, visited);
            if (!t.isEmpty()) return t;
        }
        return {};
    }
};

XcbWindows::XcbWindows(const QByteArray& display) : d(std::make_unique<Impl>()) {
    d->conn = xcb_connect(display.isEmpty() ? nullptr : display.constData(), &d->screen);
    if (xcb_connection_has_error(d->conn)) return;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(d->conn));
    for (int i = 0; i < d->screen && it.rem; ++i)
        xcb_screen_next(&it);
    if (!it.rem) return;
    d->root = it.data->root;
    xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(d->conn, &d->ewmh);
    d->ewmhReady = xcb_ewmh_init_atoms_replies(&d->ewmh, cookies, nullptr) != 0;
}

XcbWindows::~XcbWindows() {
    if (d->ewmhReady) xcb_ewmh_connection_wipe(&d->ewmh);
    if (d->conn) xcb_disconnect(d->conn);
}

bool XcbWindows::connected() const {
    return d->conn && !xcb_connection_has_error(d->conn) && d->root != 0 && d->ewmhReady;
}

bool XcbWindows::seesAllWindows() const {
    return connected() && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
           qgetenv("XDG_SESSION_TYPE") != "wayland";
}

void XcbWindows::setOwnWindows(QSet<uint64_t> ids) {
    d->own = std::move(ids);
}

QList<TopWindow> XcbWindows::topLevelWindows() {
    QList<TopWindow> out;
    if (!connected()) return out;
    std::vector<xcb_window_t> windows;
    if (!d->managerList(&windows)) windows = d->mappedChildren(d->root);
    std::vector<Impl::Cookies> cookies;
    cookies.reserve(windows.size());
    for (xcb_window_t w : windows)
        cookies.push_back(d->ask(w, kMaxTitleLength));
    out.reserve(qsizetype(windows.size()));
    for (size_t i = 0; i < windows.size(); ++i) {
        TopWindow t;
        t.id = windows[i];
        t.title = d->title(cookies[i], kMaxTitleLength);
        d->classOf(cookies[i].wmClass, &t.wmClass, &t.instance);
        const bool own = d->ours(cookies[i].pid) || d->own.contains(t.id);
        if (!own) out << t;
    }
    return out;
}

QString XcbWindows::findEditText(uint64_t window) {
    if (!connected() || window == 0 || window > 0xffffffffu) return {};
    int visited = 0;
    return d->findEdit(xcb_window_t(window), 0, &visited);
}

} // namespace web::capture
