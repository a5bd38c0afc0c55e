#include "Windows.h"

#include "shell/ui/Placement.h"

#include <QApplication>

namespace shell {

namespace {
struct Known {
    const char* name;
    const char* caption;
};
// Captions the program's windows carry, by window name.
constexpr Known kKnown[] = {
    {"frmTarvek", "Borsk速记"},
    {"frmTray", "Borsk速记"},
    {"frmHelpAbout", "关于Veltrano"},
    {"frmSetSystem", "Veltrano-系统设置"},
    {"frmSetInternet", "把当前网址记录到<<Veltrano>>中"},
    {"frmInternet", "网上资源--教育网站"},
    {"frmQiMoZhongJie", "期末总结枪手"},
    {"frmStudenPY", "学生评语快手"},
    {"frmStudenCJ", "成绩管理助手"},
    {"frmJiaoAn", "教案设计能手"},
    {"frmKaiXueJiHua", "开学计划高手"},
    {"frmViewText", "文本显示"},
    {"frmDate", "日历表"},
    {"frmFindFile", "文件查找"},
    {"frmOpenDatabase", "打开学生名册"},
    {"frmSetPage", "页面设置"},
    {"frmPrintView", "打印浏览"},
};
} // namespace

Windows& Windows::instance() {
    static Windows* w = new Windows; // lives as long as the program
    return *w;
}

QString Windows::caption(const QString& name) {
    for (const Known& k : kKnown)
        if (name == QLatin1String(k.name)) return QString::fromUtf8(k.caption);
    return {};
}

QStringList Windows::knownNames() {
    QStringList out;
    for (const Known& k : kKnown)
        out << QString::fromLatin1(k.name);
    return out;
}

void Windows::setFactory(const QString& name, Factory f) {
    if (f)
        factories_.insert(name, std::move(f));
    else
        factories_.remove(name);
}

QWidget* Windows::find(const QString& name) const {
    auto it = loaded_.constFind(name);
    return it == loaded_.constEnd() ? nullptr : it->data();
}

QWidget* Windows::load(const QString& name) {
    if (QWidget* w = find(name)) return w;
    QWidget* w = nullptr;
    if (auto f = factories_.constFind(name); f != factories_.constEnd()) {
        w = (*f)();
    } else {
        const QString cap = caption(name);
        if (cap.isEmpty()) return nullptr;
        w = new QWidget;
        w->setWindowTitle(cap);
        w->resize(480, 320);
    }
    if (!w) return nullptr;
    if (w->objectName().isEmpty()) w->setObjectName(name);
    w->setAttribute(Qt::WA_DeleteOnClose);
    loaded_.insert(name, w);
    connect(w, &QObject::destroyed, this, [this, name, w] {
        auto it = loaded_.find(name);
        if (it != loaded_.end() && (it->isNull() || it->data() == w)) loaded_.erase(it);
        Q_EMIT windowUnloaded(name);
    });
    Q_EMIT windowLoaded(name);
    return w;
}

QRect Windows::placement(const QSize& size, const QRect& over, const QRect& available) {
    return centredInside(size, over, available);
}

void Windows::place(QWidget* w, QWidget* caller) const {
    QWidget* over = caller ? caller->window() : nullptr;
    if (!over || !over->isVisible()) {
        over = nullptr;
        // The window the teacher is working in, when it is one of ours (not
        // the tray's launcher, say).
        if (QWidget* active = QApplication::activeWindow(); active && active != w)
            for (const QPointer<QWidget>& p : loaded_)
                if (p == active && active->isVisible()) over = active;
    }
    placeOnScreen(w, over, true);
}

QWidget* Windows::open(const QString& name, QWidget* caller) {
    QWidget* w = load(name);
    if (!w) return nullptr;
    if (!w->isVisible() && w->isWindow()) {
        // A dialog (or a tool window such as the text display) belongs to
        // the window it was opened from and stays above it.
        if (caller && (w->windowType() == Qt::Dialog || w->windowType() == Qt::Tool)) setOwner(w, caller);
        // First showing: centred over its caller unless the window placed
        // itself; either way it fits on the screen.
        if (w->testAttribute(Qt::WA_Moved))
            placeOnScreen(w, nullptr, false);
        else
            place(w, caller);
    }
    if (w->isMinimized())
        w->showNormal();
    else
        w->show();
    w->raise();
    w->activateWindow();
    return w;
}

bool Windows::unload(const QString& name) {
    QPointer<QWidget> w = find(name);
    if (!w) return true;
    if (!w->close()) return false;
    // WA_DeleteOnClose deletes later; drop the reference now so that the
    // next open() makes a fresh window.
    if (w) {
        loaded_.remove(name);
        w->deleteLater();
    }
    return true;
}

bool Windows::unload(QWidget* window) {
    if (!window) return true;
    for (auto it = loaded_.constBegin(); it != loaded_.constEnd(); ++it)
        if (it->data() == window) return unload(it.key());
    return window->close();
}

void Windows::setHoldsData(const QString& name) {
    if (!holdsData_.contains(name)) holdsData_.append(name);
}

QStringList Windows::holdingData() const {
    QStringList out;
    for (const QString& name : holdsData_)
        if (find(name)) out << name;
    return out;
}

QStringList Windows::loadedNames() const {
    QStringList out;
    for (auto it = loaded_.constBegin(); it != loaded_.constEnd(); ++it)
        if (!it->isNull()) out << it.key();
    return out;
}

} // namespace shell
