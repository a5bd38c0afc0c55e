#include "BookmarkViews.h"

namespace web {

namespace {
QString dayText(const QDate& d) {
    return d.isValid() ? QStringLiteral("%1-%2-%3").arg(d.year()).arg(d.month()).arg(d.day()) : QString();
}
QString kindText(ImportKind k) {
    switch (k) {
    case ImportKind::New:
        return QStringLiteral("新增");
    case ImportKind::Stored:
    case ImportKind::Repeated:
        return QStringLiteral("重复");
    case ImportKind::Refused:
        return QStringLiteral("不导入");
    }
    return {};
}
constexpr uint32_t kRefusedColor = 0xC00000;
constexpr uint32_t kRepeatedColor = 0x808080;
} // namespace

shell::Grid importPreviewGrid(const ImportPlan& plan) {
    shell::Grid g(int(plan.entries.size()) + 1, 7);
    const QStringList heads{{}, "结果", "网页名称", "类别", "记录时间", "网页地址", "说明"};
    const int widths[] = {600, 800, 3000, 1500, 1200, 4500, 3000};
    for (int c = 0; c < 7; ++c) {
        g.setText(0, c, heads[c]);
        g.setColWidth(c, widths[c]);
        if (c > 0) g.setColAlign(c, shell::Grid::Align::Left);
    }
    for (int i = 0; i < plan.entries.size(); ++i) {
        const ImportEntry& e = plan.entries[i];
        const int r = i + 1;
        g.setText(r, 0, QString::number(r));
        g.setText(r, 1, kindText(e.kind));
        g.setText(r, 2, e.page.name);
        g.setText(r, 3, e.page.category);
        g.setText(r, 4, dayText(e.page.date));
        g.setText(r, 5, e.page.address);
        g.setText(r, 6, e.note);
        if (e.kind == ImportKind::New) continue;
        const uint32_t color = e.kind == ImportKind::Refused ? kRefusedColor : kRepeatedColor;
        for (int c = 1; c < 7; ++c)
            g.setForeColor(r, c, color);
    }
    return g;
}

QString importSummary(const ImportPlan& plan) {
    return QStringLiteral("共 %1 个网页：新增 %2 个，重复 %3 个，不导入 %4 个。")
        .arg(plan.entries.size())
        .arg(plan.count(ImportKind::New))
        .arg(plan.count(ImportKind::Stored) + plan.count(ImportKind::Repeated))
        .arg(plan.count(ImportKind::Refused));
}

shell::Grid duplicatesGrid(const QList<QList<Bookmark>>& groups, QList<qint64>* rowKeys) {
    int rows = 1;
    for (const auto& g : groups)
        rows += int(g.size());
    shell::Grid grid(rows, 5);
    const QStringList heads{"组", "网页名称", "类别", "记录时间", "网页地址"};
    const int widths[] = {600, 3500, 1500, 1200, 6000};
    for (int c = 0; c < 5; ++c) {
        grid.setText(0, c, heads[c]);
        grid.setColWidth(c, widths[c]);
        if (c > 0) grid.setColAlign(c, shell::Grid::Align::Left);
    }
    rowKeys->clear();
    rowKeys->append(-1);
    int r = 1;
    for (int gi = 0; gi < groups.size(); ++gi) {
        for (int k = 0; k < groups[gi].size(); ++k, ++r) {
            const Bookmark& b = groups[gi][k];
            if (k == 0) grid.setText(r, 0, QString::number(gi + 1));
            grid.setText(r, 1, b.name);
            grid.setText(r, 2, b.category);
            grid.setText(r, 3, b.dateText);
            grid.setText(r, 4, b.address);
            rowKeys->append(b.key);
        }
    }
    return grid;
}

QList<qint64> mergeRemovals(const QList<QList<Bookmark>>& groups) {
    QList<qint64> out;
    for (const auto& g : groups)
        for (int k = 1; k < g.size(); ++k)
            out << g[k].key;
    return out;
}

} // namespace web
