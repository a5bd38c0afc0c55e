#include "WindowSource.h"

namespace web::capture {

QList<TopWindow> WindowTree::topLevelWindows() {
    QList<TopWindow> out;
    out.reserve(tops_.size());
    for (const WindowNode& n : tops_)
        out << TopWindow{n.id, n.title, n.wmClass, n.instance};
    return out;
}

QString findEditTextIn(const WindowNode& node) {
    if (node.wmClass.endsWith(QLatin1String("Edit"))) return node.title;
    for (const WindowNode& c : node.children) {
        QString t = findEditTextIn(c);
        if (!t.isEmpty()) return t;
    }
    return {};
}

QString WindowTree::findEditText(uint64_t window) {
    for (const WindowNode& n : tops_)
        if (n.id == window) return findEditTextIn(n);
    return {};
}

} // namespace web::capture
