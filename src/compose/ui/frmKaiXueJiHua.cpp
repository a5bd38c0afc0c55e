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
    const QList<QListWidget*> timeLists = buildStages(QStringLiteral("单击浏览；双击选中!"), 2);
    byMonth_.list = timeLists[0];
    byWeek_.list = timeLists[1];
    byMonth_.back = byWeek_.back = addStageButton(6, QStringLiteral("返回开头"));
    byMonth_.next = byWeek_.next = addStageButton(7, QStringLiteral("进入结尾"));
    auto* row = new QHBoxLayout;
    row->addWidget(byMonth_.back);
    row->addWidget(byMonth_.next);
    composeLayout_->addLayout(row);
    connect(byMonth_.back, &QPushButton::clicked, this, &frmKaiXueJiHua::backToOpening);
    connect(byMonth_.next, &QPushButton::clicked, this, &frmKaiXueJiHua::goToEnding);
    for (QListWidget* list : timeLists)
        connectList(
            list, [this, list] { timeItemClicked(list); }, [this, list] { timeItemDoubleClicked(list); });
    buildPanels();
    auto* picture = new QLabel(composePanel_);
    picture->setObjectName(QStringLiteral("imgJH"));
    picture->setPixmap(editPicture());
    picture->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    picture->hide();
    composeLayout_->addWidget(picture, 1);
    doneMark_ = picture;
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
    setModeTree(t);
}

void frmKaiXueJiHua::buildPanels() {
    // The month and week panels stand between the composition panel and the
    // article while a month or week plan is written.
    monthPanel_ = new QGroupBox(QStringLiteral("选择月份"), this);
    monthPanel_->setObjectName(QStringLiteral("fraJhMidSelect(0)"));
    auto* months = new QVBoxLayout(monthPanel_);
    for (int m = 1; m <= 12; ++m) {
        monthOptions_[m] = new QRadioButton(QStringLiteral("%1月份").arg(m), monthPanel_);
        monthOptions_[m]->setObjectName(indexed("optMouth", m));
        months->addWidget(monthOptions_[m]);
        connect(monthOptions_[m], &QRadioButton::clicked, this, [this, m] { pickMonth(m); });
    }
    months->addStretch();

    weekPanel_ = new QGroupBox(QStringLiteral("设置周序"), this);
    weekPanel_->setObjectName(QStringLiteral("fraJhMidSelect(1)"));
    auto* week = new QGridLayout(weekPanel_);
    week->setSpacing(2);
    startDateBox_ = new QLineEdit(QStringLiteral("2003-2-11"), weekPanel_);
    startDateBox_->setObjectName(QStringLiteral("Text1"));
    endDateBox_ = new QLineEdit(QStringLiteral("2003-6-29"), weekPanel_);
    endDateBox_->setObjectName(QStringLiteral("Text2"));
    auto* start = new QPushButton(QStringLiteral("开学时间"), weekPanel_);
    start->setObjectName(QStringLiteral("Command2"));
    auto* end = new QPushButton(QStringLiteral("期末时间"), weekPanel_);
    end->setObjectName(QStringLiteral("Command3"));
    auto* ok = new QPushButton(QStringLiteral("确定"), weekPanel_);
    ok->setObjectName(QStringLiteral("Command1"));
    connect(start, &QPushButton::clicked, this, [this] { chooseDate(shell::frmDate::SemesterStart); });
    connect(end, &QPushButton::clicked, this, [this] { chooseDate(shell::frmDate::TermEnd); });
    connect(ok, &QPushButton::clicked, this, &frmKaiXueJiHua::GenerateWeekSchedule);
    week->addWidget(start, 0, 0, 1, 4);
    week->addWidget(startDateBox_, 1, 0, 1, 4);
    week->addWidget(end, 2, 0, 1, 4);
    week->addWidget(endDateBox_, 3, 0, 1, 4);
    week->addWidget(ok, 4, 0, 1, 4);
    for (int n = 1; n <= 28; ++n) {
        weekOptions_[n] = new QRadioButton(QString::number(n), weekPanel_);
        weekOptions_[n]->setObjectName(indexed("optWeek", n));
        weekOptions_[n]->setStyleSheet(
            QStringLiteral("QRadioButton { background: rgb(100, 135, 220); color: white; }"));
        weekOptions_[n]->hide();
        week->addWidget(weekOptions_[n], 5 + (n - 1) / 4, (n - 1) % 4);
        connect(weekOptions_[n], &QRadioButton::clicked, this, [this, n] { pickWeek(n); });
    }
    week->setRowStretch(12, 1);
    for (QGroupBox* g : {monthPanel_, weekPanel_}) {
        g->setFixedWidth(180);
        g->hide();
    }
    body_->insertWidget(1, monthPanel_);
    body_->insertWidget(2, weekPanel_);
}

bool frmKaiXueJiHua::nodeStartsOpening() {
    // The root and the group nodes have longer names than the types.
    return modeText_.trimmed().size() <= 3;
}

QStringList frmKaiXueJiHua::categories(Stage s) const {
    // Openings are filed under the type's name, the rest under its kind.
    return {s == Stage::Start ? modeText_ : kindCode_};
}

void frmKaiXueJiHua::placeOpening(const QString& text) {
    replaceArticle(text);
}

void frmKaiXueJiHua::placeMiddle(const QString& heading, const QString& text) {
    // Its heading and its text, each on a line of their own.
    article_.insertStatement(article_.length(), heading, text, false);
}

void frmKaiXueJiHua::placeEnding(const QString& text) {
    article_.append(u'\n' + text);
}

QList<WriterWindow::StageControls> frmKaiXueJiHua::middleStages() const {
    return {middle_, byMonth_, byWeek_};
}

WriterWindow::StageControls frmKaiXueJiHua::middleStage() const {
    const QChar m = mode();
    return m == u'2' ? byMonth_ : m == u'3' ? byWeek_ : middle_;
}

void frmKaiXueJiHua::showTimePanel(bool shown) {
    monthPanel_->setVisible(shown && mode() == u'2');
    weekPanel_->setVisible(shown && mode() == u'3');
}

void frmKaiXueJiHua::timeItemClicked(QListWidget* list) {
    QListWidgetItem* item = list->currentItem();
    if (!item) return;
    showPreview({});
    showPreview(item->text());
    byMonth_.next->setEnabled(true);
}

void frmKaiXueJiHua::timeItemDoubleClicked(QListWidget* list) {
    QListWidgetItem* item = list->currentItem();
    if (!item) return;
    const QString text = article_.text();
    const Insertion ins = list == byMonth_.list ? monthItem(text, headingNumber_, item->text())
                                                : weekItem(text, headingNumber_, item->text());
    article_.insert(ins.position, ins.text);
    closePreview();
}

void frmKaiXueJiHua::pickMonth(int m) {
    headingNumber_ = m;
    byMonth_.list->clear();
    byMonth_.list->addItems(library_.monthStatements(m));
}

void frmKaiXueJiHua::pickWeek(int n) {
    headingNumber_ = n + 1;
    byWeek_.list->clear();
    byWeek_.list->addItems(library_.weekStatements(n));
}

void frmKaiXueJiHua::GenerateWeekSchedule() {
    WeekSchedule s;
    const shell::Outcome o = weekSchedule(startDateBox_->text(), endDateBox_->text(), &s);
    if (!o) {
        shell::MessageBox::showAll(this, o.messages);
        return;
    }
    for (int n = 1; n <= 28; ++n)
        weekOptions_[n]->hide();
    articleBox_->setFocus();
    article_.append(s.text);
    for (int n = 1; n <= s.weeks; ++n)
        weekOptions_[n]->show();
}

void frmKaiXueJiHua::chooseDate(shell::frmDate::Purpose purpose) {
    shell::frmDate* calendar = shell::frmDate::openFor(purpose, this);
    // The calendar may be open already (and connected): one connection only.
    if (calendar)
        connect(calendar, &shell::frmDate::dateChosen, this, &frmKaiXueJiHua::takeDate, Qt::UniqueConnection);
}

void frmKaiXueJiHua::takeDate(int purpose, const QString& text) {
    if (purpose == shell::frmDate::SemesterStart) startDateBox_->setText(text);
    if (purpose == shell::frmDate::TermEnd) endDateBox_->setText(text);
}

} // namespace compose
