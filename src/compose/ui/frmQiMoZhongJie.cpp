#include "frmQiMoZhongJie.h"

#include "shell/core/Tree.h"
#include "shell/ui/TreeView.h"

#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>

namespace compose {

namespace {
WriterWindow::Names summaryNames() {
    return {
        QStringLiteral("frmQiMoZhongJie"), QStringLiteral("ricZhongJie"),  QStringLiteral("fraZJsortSelect"),
        QStringLiteral("fraAddZJ"),        QStringLiteral("txtAddZJ"),     QStringLiteral("msGridZJ"),
        QStringLiteral("导出总结(&O)"),    QStringLiteral("打印总结(&P)"), QStringLiteral("编写总结(&E)"),
        QStringLiteral("munWindow"),       QStringLiteral("mToobHT")};
}
} // namespace

frmQiMoZhongJie::frmQiMoZhongJie(QWidget* parent) : WriterWindow(Writer::Summary, summaryNames(), parent) {
    buildTree();
    buildStages({}, 0);
    // "恭喜你已完成总结" read down two columns of two characters a line.
    auto* done = new QLabel(QStringLiteral("恭完喜成你总已结"), composePanel_);
    done->setObjectName(QStringLiteral("labZJ"));
    QFont f(QStringLiteral("华文新魏"));
    f.setPointSize(48);
    done->setFont(f);
    done->setWordWrap(true);
    done->setStyleSheet(QStringLiteral("color: yellow;"));
    // 2295 twips wide, so two characters a line; tall enough for the four
    // lines in whatever Kai font stands in for 华文新魏.
    done->setFixedWidth(2295 / 15);
    done->setMinimumHeight(std::max(3975 / 15, QFontMetrics(f).lineSpacing() * 4 + 8));
    done->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    done->hide();
    composeLayout_->addWidget(done, 1, Qt::AlignHCenter | Qt::AlignTop);
    doneMark_ = done;
    // The first paragraph starts indented, as every statement placed later.
    article_.setIndentsAt(0, kIndent, 0);
    article_.setModified(false);
    HighlightStep(0);
    resize(1100, 680);
}

void frmQiMoZhongJie::buildTree() {
    shell::Tree t;
    t.add({}, QStringLiteral("explor"), QStringLiteral("总结枪手"), QStringLiteral("explorer"), {},
          QStringLiteral("root"));
    t.add(QStringLiteral("explor"), QStringLiteral("SanWen0"), QStringLiteral("选择模板"),
          QStringLiteral("sortOff"), QStringLiteral("sortOn"));
    const char* types[][2] = {{"swXs1", "详述型"}, {"swJs1", "简述型"}, {"swLw1", "议论型"},
                              {"swCq1", "承启型"}, {"swCy1", "倡议型"}, {"swGy1", "纲要型"},
                              {"swQt1", "其它型"}};
    for (const auto& [key, text] : types)
        t.add(QStringLiteral("SanWen0"), QLatin1String(key), QString::fromUtf8(text),
              QStringLiteral("fileOff"), QStringLiteral("fileOn"));
    t.add(QStringLiteral("explor"), QStringLiteral("FanLi0"), QStringLiteral("总结范例"),
          QStringLiteral("sortOff"), QStringLiteral("sortOn"));
    const char* samples[][2] = {
        {"xxFl2", "学校工作总结"}, {"bmFl2", "部门班组总结"}, {"grFl2", "教师个人总结"}};
    for (const auto& [key, text] : samples)
        t.add(QStringLiteral("FanLi0"), QLatin1String(key), QString::fromUtf8(text),
              QStringLiteral("fileOff"), QStringLiteral("fileOn"));
    for (const char* k : {"explor", "SanWen0", "FanLi0"})
        t.setExpanded(QLatin1String(k));
    setModeTree(t);
}

bool frmQiMoZhongJie::nodeStartsOpening() {
    // Every node lists openings: a type or sample sets the type code, the
    // others keep the one set last (by the tree or the library editor).
    const QString code = summaryTypeCode(modeText_);
    if (!code.isEmpty()) typeCode_ = code;
    return true;
}

QStringList frmQiMoZhongJie::categories(Stage s) const {
    // Openings and middle statements of the type and the general ones
    // (综合型, "8"); a sample summary (codes 11 to 13) lists its own and the
    // general ones, as a type does. Every ending suits every summary.
    if (s == Stage::End) return {};
    return {typeCode_, QStringLiteral("8")};
}

void frmQiMoZhongJie::placeOpening(const QString& text) {
    replaceArticle(text);
    article_.setIndentsAt(0, kIndent, 0);
}

void frmQiMoZhongJie::placeMiddle(const QString& heading, const QString& text) {
    InsertAtCaret(heading, text);
}

void frmQiMoZhongJie::placeEnding(const QString& text) {
    InsertAtCaret({}, text);
}

void frmQiMoZhongJie::InsertAtCaret(const QString& heading, const QString& p) {
    QTextCursor c = articleBox_->textCursor();
    c.beginEditBlock();
    c.removeSelectedText();
    const int start = c.position();
    const int end = article_.insertStatement(start, heading, p, true);
    // Every paragraph of the statement starts 550 twips in.
    for (int pos = start; pos <= end;) {
        article_.setIndentsAt(pos, kIndent, 0);
        const int next = int(article_.text().indexOf(u'\n', pos));
        if (next < 0 || next >= end) break;
        pos = next + 1;
    }
    c.endEditBlock();
    c.setPosition(end);
    articleBox_->setTextCursor(c);
    articleBox_->setFocus();
}

} // namespace compose
