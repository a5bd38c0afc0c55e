#include "frmKaiXueJiHua.h"

#include "shell/Windows.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace compose {

frmKaiXueJiHua::frmKaiXueJiHua(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmKaiXueJiHua"));
    setWindowTitle(shell::Windows::caption(QStringLiteral("frmKaiXueJiHua")));

    auto* week = new QGroupBox(QStringLiteral("设置周序"), this);
    week->setObjectName(QStringLiteral("fraJhMidSelect(1)"));
    Text1_ = new QLineEdit(QStringLiteral("2003-2-11"), week);
    Text1_->setObjectName(QStringLiteral("Text1"));
    Text2_ = new QLineEdit(QStringLiteral("2003-6-29"), week);
    Text2_->setObjectName(QStringLiteral("Text2"));
    auto* start = new QPushButton(QStringLiteral("开学时间"), week);
    start->setObjectName(QStringLiteral("Command2"));
    auto* end = new QPushButton(QStringLiteral("期末时间"), week);
    end->setObjectName(QStringLiteral("Command3"));
    connect(start, &QPushButton::clicked, this, [this] { chooseDate(shell::frmDate::SemesterStart); });
    connect(end, &QPushButton::clicked, this, [this] { chooseDate(shell::frmDate::TermEnd); });

    auto* grid = new QGridLayout(week);
    grid->addWidget(Text1_, 0, 0);
    grid->addWidget(start, 0, 1);
    grid->addWidget(Text2_, 1, 0);
    grid->addWidget(end, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(week);
    layout->addStretch();
    resize(480, 320);
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
