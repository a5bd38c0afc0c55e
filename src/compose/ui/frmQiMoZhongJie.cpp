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
    for (int i = 0; i < 3; ++i) {
        addList(i);
        connect(lists_[i], &QListWidget::itemClicked, this, [this, i] { itemClicked(i); });
        connect(lists_[i], &QListWidget::itemDoubleClicked, this, [this, i] { itemDoubleClicked(i); });
    }
    const QStringList captions{QStringLiteral("返回模式"), QStringLiteral("进入中段"),
                               QStringLiteral("返回开头"), QStringLiteral("进入结尾"),
                               QStringLiteral("返回中段"), QStringLiteral("进入修改")};
    for (int i = 0; i < 6; ++i) {
        addStageButton(i, captions[i]);
        connect(buttons_[i], &QPushButton::clicked, this, [this, i] { stageButton(i); });
    }
    // "恭喜你已完成总结" read down two columns of two characters a line.
    labZJ_ = new QLabel(QStringLiteral("恭完喜成你总已结"), composePanel_);
    labZJ_->setObjectName(QStringLiteral("labZJ"));
    QFont f(QStringLiteral("华文新魏"));
    f.setPointSize(48);
    labZJ_->setFont(f);
    labZJ_->setWordWrap(true);
    labZJ_->setStyleSheet(QStringLiteral("color: yellow;"));
    // 2295 twips wide, so two characters a line; tall enough for the four
    // lines in whatever Kai font stands in for 华文新魏.
    labZJ_->setFixedWidth(2295 / 15);
    labZJ_->setMinimumHeight(std::max(3975 / 15, QFontMetrics(f).lineSpacing() * 4 + 8));
    labZJ_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    labZJ_->hide();
    composeLayout_->addWidget(labZJ_, 1, Qt::AlignHCenter | Qt::AlignTop);
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
    tvwMode_->setTree(t);
    connect(tvwMode_, &shell::TreeView::nodeClicked, this, &frmQiMoZhongJie::nodeClicked);
    connect(tvwMode_, &shell::TreeView::nodeDoubleClicked, this,
            [this](const QString& key, const QString& text) {
                nodeClicked(key, text);
                startOpening();
            });
}

void frmQiMoZhongJie::startOpening() {
    const QString code = summaryTypeCode(modeText_);
    if (!code.isEmpty()) typeCode_ = code;
    lists_[0]->clear();
    lists_[0]->addItems(library_.titles(Stage::Start, {typeCode_, QStringLiteral("8")}));
    Label1_->setText(modeText_);
    lists_[0]->show();
    buttons_[0]->show();
    buttons_[1]->show();
    buttons_[0]->setEnabled(true);
    buttons_[1]->setEnabled(false);
    tvwMode_->hide();
    HighlightStep(1);
}

void frmQiMoZhongJie::LoadMiddleList() {
    // A sample summary (codes 11 to 13) lists its own middle statements and
    // the general ones, as a type does.
    lists_[1]->clear();
    lists_[1]->addItems(library_.titles(Stage::Middle, {typeCode_, QStringLiteral("8")}));
}

void frmQiMoZhongJie::LoadEndingList() {
    lists_[2]->clear();
    lists_[2]->addItems(library_.titles(Stage::End));
}

void frmQiMoZhongJie::itemClicked(int list) {
    QListWidgetItem* item = lists_[list]->currentItem();
    if (!item) return;
    showPreview({});
    if (const auto t = library_.find(Stage(list), item->text())) {
        showPreview(*t);
        setCurrentParagraph(*t);
        if (list == 1) currentHeading_ = statementHeading(item->text());
    }
    buttons_[list == 0 ? 1 : list == 1 ? 3 : 5]->setEnabled(true);
}

void frmQiMoZhongJie::InsertAtCaret(const QString& heading, const QString& p) {
    QTextCursor c = ric_->textCursor();
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
    ric_->setTextCursor(c);
    ric_->setFocus();
}

void frmQiMoZhongJie::acceptOpening(const QString& text) {
    replaceArticle(text);
    article_.setIndentsAt(0, kIndent, 0);
    lists_[0]->hide();
    buttons_[0]->hide();
    buttons_[1]->hide();
    lists_[1]->show();
    buttons_[2]->show();
    buttons_[3]->show();
    buttons_[2]->setEnabled(true);
    buttons_[3]->setEnabled(false);
    HighlightStep(2);
    LoadMiddleList();
    closePreview();
}

void frmQiMoZhongJie::itemDoubleClicked(int list) {
    QListWidgetItem* item = lists_[list]->currentItem();
    if (!item) return;
    if (list == 0) {
        acceptOpening(library_.find(Stage::Start, item->text()).value_or(QString()));
        return;
    }
    InsertAtCaret(list == 1 ? currentHeading_ : QString(), currentParagraph());
    if (list == 2) enterEditStep();
    closePreview();
}

void frmQiMoZhongJie::enterEditStep() {
    lists_[2]->hide();
    buttons_[4]->hide();
    buttons_[5]->hide();
    labZJ_->show();
    HighlightStep(4);
}

void frmQiMoZhongJie::stageButton(int index) {
    auto showPair = [this](int back, int next) {
        buttons_[back]->show();
        buttons_[next]->show();
        buttons_[back]->setEnabled(true);
        buttons_[next]->setEnabled(false);
    };
    auto hidePair = [this](int list, int back) {
        lists_[list]->hide();
        buttons_[back]->hide();
        buttons_[back + 1]->hide();
    };
    switch (index) {
    case 0:
        hidePair(0, 0);
        tvwMode_->show();
        HighlightStep(0);
        break;
    case 1:
        acceptOpening(currentParagraph());
        break;
    case 2:
        hidePair(1, 2);
        lists_[0]->show();
        buttons_[0]->show();
        buttons_[1]->show();
        HighlightStep(1);
        closePreview();
        break;
    case 3:
        hidePair(1, 2);
        lists_[2]->show();
        showPair(4, 5);
        HighlightStep(3);
        LoadEndingList();
        closePreview();
        break;
    case 4:
        hidePair(2, 4);
        lists_[1]->show();
        buttons_[2]->show();
        buttons_[3]->show();
        HighlightStep(2);
        break;
    case 5:
        enterEditStep();
        closePreview();
        break;
    default:
        break;
    }
}

void frmQiMoZhongJie::stepClicked(int n) {
    if (n >= 1 && n <= 3) return;
    HighlightStep(n);
    if (n == 0) {
        tvwMode_->show();
        for (QListWidget* l : lists_)
            l->hide();
        for (QPushButton* b : buttons_)
            b->hide();
        labZJ_->hide();
    } else if (n == 5) {
        ExportArticle();
        HighlightStep(4);
    }
}

} // namespace compose
