#include "frmKaiXueJiHua.h"

#include "compose/model/PlanText.h"
#include "shell/core/Tree.h"
#include "shell/ui/Icons.h"
#include "shell/ui/MessageBox.h"
#include "shell/ui/TreeView.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace compose {

namespace {
WriterWindow::Names planNames() {
    return {
        QStringLiteral("frmKaiXueJiHua"), QStringLiteral("ricJiHua"),     QStringLiteral("fraJHShengCheng"),
        QStringLiteral("fraAddJH"),       QStringLiteral("txtAddJH"),     QStringLiteral("msGridJH"),
        QStringLiteral("导出计划(&O)"),   QStringLiteral("打印计划(&P)"), QStringLiteral("编写计划(&E)"),
        QStringLiteral("mnuWindow"),      QStringLiteral("mToobHt")};
}

QString indexed(const char* name, int i) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i);
}

// The picture of the "修改文本" step: a sheet with a pen.
QPixmap editPicture() {
    QPixmap pm(QSize(120, 120) * 2);
    pm.setDevicePixelRatio(2);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 110, 160), 2));
    p.setBrush(QColor(250, 250, 240));
    p.drawRoundedRect(QRectF(20, 10, 70, 95), 4, 4);
    p.setPen(QPen(QColor(150, 160, 190), 2));
    for (int y = 30; y <= 85; y += 11)
        p.drawLine(QPointF(30, y), QPointF(80, y));
    p.translate(85, 70);
    p.rotate(40);
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(QColor(230, 170, 40));
    p.drawRect(QRectF(-5, -40, 10, 40));
    p.setBrush(QColor(60, 60, 60));
    p.drawPolygon(QPolygonF{{-5, 0}, {5, 0}, {0, 10}});
    return pm;
}
} // namespace

frmKaiXueJiHua::frmKaiXueJiHua(QWidget* parent) : WriterWindow(Writer::Plan, planNames(), parent) {
    buildTree();
    addList(0);
    addList(1, QStringLiteral("单击浏览；双击选中!"));
    addList(2);
    addList(3);
    addList(4);
    const QStringList captions{QStringLiteral("返回模式"), QStringLiteral("进入中段"),
                               QStringLiteral("返回开头"), QStringLiteral("进入结尾"),
                               QStringLiteral("返回中段"), QStringLiteral("进入修改"),
                               QStringLiteral("返回开头"), QStringLiteral("进入结尾")};
    for (int i = 0; i < 8; ++i) {
        addStageButton(i, captions[i]);
        connect(buttons_[i], &QPushButton::clicked, this, [this, i] { stageButton(i); });
    }
    for (int i = 0; i < 5; ++i) {
        connect(lists_[i], &QListWidget::itemClicked, this, [this, i] { itemClicked(i); });
        connect(lists_[i], &QListWidget::itemDoubleClicked, this, [this, i] { itemDoubleClicked(i); });
    }
    buildPanels();
    imgJH_ = new QLabel(composePanel_);
    imgJH_->setObjectName(QStringLiteral("imgJH"));
    imgJH_->setPixmap(editPicture());
    imgJH_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    imgJH_->hide();
    composeLayout_->addWidget(imgJH_, 1);
    HighlightStep(0);
    resize(1100, 680);
}

void frmKaiXueJiHua::buildTree() {
    shell::Tree t;
    t.add({}, QStringLiteral("explor"), QStringLiteral("选择计划模式"), QStringLiteral("explorer"), {},
          QStringLiteral("root"));
    const auto group = [&](const char* key, const char* text) {
        t.add(QStringLiteral("explor"), QLatin1String(key), QString::fromUtf8(text),
              QStringLiteral("sortOff"), QStringLiteral("sortOn"));
    };
    const auto leaf = [&](const char* parent, const char* key, const char* text) {
        t.add(QLatin1String(parent), QLatin1String(key), QString::fromUtf8(text), QStringLiteral("fileOff"),
              QStringLiteral("fileOn"));
    };
    group("SanWen0", "散文方式");
    leaf("SanWen0", "swXs1", "详述型");
    leaf("SanWen0", "swJs1", "简述型");
    leaf("SanWen0", "swLw1", "议论型");
    leaf("SanWen0", "swCq1", "承启型");
    leaf("SanWen0", "swCy1", "倡议型");
    leaf("SanWen0", "swQt1", "其它型");
    group("mouth0", "按月份写");
    leaf("mouth0", "gyMouth2", "纲要型");
    leaf("mouth0", "csMouth2", "阐述型");
    group("week0", "按周序写");
    leaf("week0", "gyWeek3", "纲要型");
    leaf("week0", "csWeek3", "阐述型");
    t.setExpanded(QStringLiteral("explor"));
    t.setExpanded(QStringLiteral("SanWen0"));
    t.setExpanded(QStringLiteral("mouth0"));
    t.setExpanded(QStringLiteral("week0"));
    tvwMode_->setTree(t);
    connect(tvwMode_, &shell::TreeView::nodeClicked, this, &frmKaiXueJiHua::nodeClicked);
    connect(tvwMode_, &shell::TreeView::nodeDoubleClicked, this,
            [this](const QString& key, const QString& text) {
                nodeClicked(key, text);
                startOpening();
            });
}

void frmKaiXueJiHua::buildPanels() {
    // The month and week panels stand between the composition panel and the
    // article while a month or week plan is written.
    fraJhMidSelect_[0] = new QGroupBox(QStringLiteral("选择月份"), this);
    fraJhMidSelect_[0]->setObjectName(QStringLiteral("fraJhMidSelect(0)"));
    auto* months = new QVBoxLayout(fraJhMidSelect_[0]);
    for (int m = 1; m <= 12; ++m) {
        optMouth_[m] = new QRadioButton(QStringLiteral("%1月份").arg(m), fraJhMidSelect_[0]);
        optMouth_[m]->setObjectName(indexed("optMouth", m));
        months->addWidget(optMouth_[m]);
        connect(optMouth_[m], &QRadioButton::clicked, this, [this, m] { pickMonth(m); });
    }
    months->addStretch();

    fraJhMidSelect_[1] = new QGroupBox(QStringLiteral("设置周序"), this);
    fraJhMidSelect_[1]->setObjectName(QStringLiteral("fraJhMidSelect(1)"));
    auto* week = new QGridLayout(fraJhMidSelect_[1]);
    week->setSpacing(2);
    Text1_ = new QLineEdit(QStringLiteral("2003-2-11"), fraJhMidSelect_[1]);
    Text1_->setObjectName(QStringLiteral("Text1"));
    Text2_ = new QLineEdit(QStringLiteral("2003-6-29"), fraJhMidSelect_[1]);
    Text2_->setObjectName(QStringLiteral("Text2"));
    auto* start = new QPushButton(QStringLiteral("开学时间"), fraJhMidSelect_[1]);
    start->setObjectName(QStringLiteral("Command2"));
    auto* end = new QPushButton(QStringLiteral("期末时间"), fraJhMidSelect_[1]);
    end->setObjectName(QStringLiteral("Command3"));
    auto* ok = new QPushButton(QStringLiteral("确定"), fraJhMidSelect_[1]);
    ok->setObjectName(QStringLiteral("Command1"));
    connect(start, &QPushButton::clicked, this, [this] { chooseDate(shell::frmDate::SemesterStart); });
    connect(end, &QPushButton::clicked, this, [this] { chooseDate(shell::frmDate::TermEnd); });
    connect(ok, &QPushButton::clicked, this, &frmKaiXueJiHua::GenerateWeekSchedule);
    week->addWidget(start, 0, 0, 1, 4);
    week->addWidget(Text1_, 1, 0, 1, 4);
    week->addWidget(end, 2, 0, 1, 4);
    week->addWidget(Text2_, 3, 0, 1, 4);
    week->addWidget(ok, 4, 0, 1, 4);
    for (int n = 1; n <= 28; ++n) {
        optWeek_[n] = new QRadioButton(QString::number(n), fraJhMidSelect_[1]);
        optWeek_[n]->setObjectName(indexed("optWeek", n));
        optWeek_[n]->setStyleSheet(
            QStringLiteral("QRadioButton { background: rgb(100, 135, 220); color: white; }"));
        optWeek_[n]->hide();
        week->addWidget(optWeek_[n], 5 + (n - 1) / 4, (n - 1) % 4);
        connect(optWeek_[n], &QRadioButton::clicked, this, [this, n] { pickWeek(n); });
    }
    week->setRowStretch(12, 1);
    for (QGroupBox* g : fraJhMidSelect_) {
        g->setFixedWidth(180);
        g->hide();
    }
    body_->insertWidget(1, fraJhMidSelect_[0]);
    body_->insertWidget(2, fraJhMidSelect_[1]);
}

void frmKaiXueJiHua::startOpening() {
    // The root and the group nodes have longer names than the types.
    if (modeText_.trimmed().size() > 3) return;
    lists_[0]->clear();
    lists_[0]->addItems(library_.titles(Stage::Start, {modeText_}));
    Label1_->setText(modeText_);
    lists_[0]->show();
    buttons_[0]->show();
    buttons_[1]->show();
    buttons_[0]->setEnabled(true);
    buttons_[1]->setEnabled(false);
    tvwMode_->hide();
    HighlightStep(1);
}

void frmKaiXueJiHua::itemClicked(int list) {
    QListWidgetItem* item = lists_[list]->currentItem();
    if (!item) return;
    showPreview({});
    if (list <= 2) {
        const auto t = library_.find(Stage(list), item->text());
        if (t) {
            showPreview(*t);
            setCurrentParagraph(*t);
            if (list == 1) currentHeading_ = statementHeading(item->text());
        }
        buttons_[list == 0 ? 1 : list == 1 ? 3 : 5]->setEnabled(true);
    } else {
        showPreview(item->text());
        buttons_[7]->setEnabled(true);
    }
}

void frmKaiXueJiHua::acceptOpening(const QString& text) {
    lists_[0]->hide();
    buttons_[0]->hide();
    buttons_[1]->hide();
    HighlightStep(2);
    ShowMiddleStage();
    LoadMiddleList();
    replaceArticle(text);
    closePreview();
}

void frmKaiXueJiHua::itemDoubleClicked(int list) {
    QListWidgetItem* item = lists_[list]->currentItem();
    if (!item) return;
    switch (list) {
    case 0: {
        // The preview holds the opening the click found.
        const auto t = library_.find(Stage::Start, item->text());
        acceptOpening(t.value_or(QString()));
        return;
    }
    case 1:
        // Its heading and its text, each on a line of their own.
        article_.insertStatement(article_.length(), currentHeading_, currentParagraph(), false);
        break;
    case 2:
        article_.append(u'\n' + currentParagraph());
        enterEditStep();
        break;
    case 3:
    case 4: {
        const QString text = article_.text();
        const Insertion ins = list == 3 ? monthItem(text, headingNumber_, item->text())
                                        : weekItem(text, headingNumber_, item->text());
        article_.insert(ins.position, ins.text);
        break;
    }
    default:
        break;
    }
    closePreview();
}

void frmKaiXueJiHua::LoadMiddleList() {
    for (int i : {1, 3, 4})
        lists_[i]->clear();
    const QStringList titles = library_.titles(Stage::Middle, {kindCode_});
    const QChar m = mode();
    lists_[m == u'2' ? 3 : m == u'3' ? 4 : 1]->addItems(titles);
}

void frmKaiXueJiHua::LoadEndingList() {
    lists_[2]->clear();
    lists_[2]->addItems(library_.titles(Stage::End, {kindCode_}));
}

void frmKaiXueJiHua::showPanels(bool month, bool week) {
    fraJhMidSelect_[0]->setVisible(month);
    fraJhMidSelect_[1]->setVisible(week);
}

void frmKaiXueJiHua::ShowMiddleStage() {
    const QChar m = mode();
    if (m == u'2' || m == u'3') {
        lists_[m == u'2' ? 3 : 4]->show();
        buttons_[6]->show();
        buttons_[7]->show();
        buttons_[6]->setEnabled(true);
        buttons_[7]->setEnabled(false);
        showPanels(m == u'2', m == u'3');
    } else {
        lists_[1]->show();
        buttons_[2]->show();
        buttons_[3]->show();
        buttons_[2]->setEnabled(true);
        buttons_[3]->setEnabled(false);
        showPanels(false, false);
    }
}

void frmKaiXueJiHua::enterEditStep() {
    showPanels(false, false);
    lists_[2]->hide();
    buttons_[4]->hide();
    buttons_[5]->hide();
    imgJH_->show();
    HighlightStep(4);
}

void frmKaiXueJiHua::stageButton(int index) {
    auto hide = [this](std::initializer_list<int> lists, std::initializer_list<int> buttons) {
        for (int i : lists)
            lists_[i]->hide();
        for (int i : buttons)
            buttons_[i]->hide();
    };
    auto showPair = [this](int back, int next) {
        buttons_[back]->show();
        buttons_[next]->show();
        buttons_[back]->setEnabled(true);
        buttons_[next]->setEnabled(false);
    };
    switch (index) {
    case 0:
        hide({0}, {0, 1});
        tvwMode_->show();
        HighlightStep(0);
        break;
    case 1:
        hide({0}, {0, 1});
        HighlightStep(2);
        ShowMiddleStage();
        LoadMiddleList();
        replaceArticle(currentParagraph());
        closePreview();
        break;
    case 2:
    case 6:
        hide({1, 3, 4}, {2, 3, 6, 7});
        lists_[0]->show();
        buttons_[0]->show();
        buttons_[1]->show();
        showPanels(false, false);
        HighlightStep(1);
        closePreview();
        break;
    case 3:
    case 7:
        hide({1, 3, 4}, {2, 3, 6, 7});
        lists_[2]->show();
        showPair(4, 5);
        HighlightStep(3);
        LoadEndingList();
        closePreview();
        break;
    case 4: {
        hide({2}, {4, 5});
        const QChar m = mode();
        const bool byTime = m == u'2' || m == u'3';
        lists_[m == u'2' ? 3 : m == u'3' ? 4 : 1]->show();
        buttons_[byTime ? 6 : 2]->show();
        buttons_[byTime ? 7 : 3]->show();
        HighlightStep(2);
        break;
    }
    case 5:
        enterEditStep();
        closePreview();
        break;
    default:
        break;
    }
}

void frmKaiXueJiHua::stepClicked(int n) {
    if (n >= 1 && n <= 3) return;
    HighlightStep(n);
    if (n == 0) {
        tvwMode_->show();
        imgJH_->hide();
        showPanels(false, false);
        for (QListWidget* l : lists_)
            l->hide();
        for (QPushButton* b : buttons_)
            b->hide();
    } else if (n == 5) {
        ExportArticle();
        HighlightStep(4);
    }
}

void frmKaiXueJiHua::composingShown() {
    // The month and week panel come back at the next month or week stage.
    showPanels(false, false);
}

void frmKaiXueJiHua::pickMonth(int m) {
    headingNumber_ = m;
    lists_[3]->clear();
    lists_[3]->addItems(library_.monthStatements(m));
}

void frmKaiXueJiHua::pickWeek(int n) {
    headingNumber_ = n + 1;
    lists_[4]->clear();
    lists_[4]->addItems(library_.weekStatements(n));
}

void frmKaiXueJiHua::GenerateWeekSchedule() {
    WeekSchedule s;
    const shell::Outcome o = weekSchedule(Text1_->text(), Text2_->text(), &s);
    if (!o) {
        shell::MessageBox::showAll(this, o.messages);
        return;
    }
    for (int n = 1; n <= 28; ++n)
        optWeek_[n]->hide();
    ric_->setFocus();
    article_.append(s.text);
    for (int n = 1; n <= s.weeks; ++n)
        optWeek_[n]->show();
}

void frmKaiXueJiHua::chooseDate(shell::frmDate::Purpose purpose) {
    shell::frmDate* calendar = shell::frmDate::openFor(purpose, this);
    // The calendar may be open already (and connected): one connection only.
    if (calendar)
        connect(calendar, &shell::frmDate::dateChosen, this, &frmKaiXueJiHua::takeDate, Qt::UniqueConnection);
}

void frmKaiXueJiHua::takeDate(int purpose, const QString& text) {
    if (purpose == shell::frmDate::SemesterStart) Text1_->setText(text);
    if (purpose == shell::frmDate::TermEnd) Text2_->setText(text);
}

} // namespace compose
