#include "frmSetSystem.h"

#include "frmFindFile.h"
#include "shell/Windows.h"
#include "shell/core/AppPaths.h"
#include "shell/core/Backups.h"
#include "shell/core/Settings.h"
#include "shell/ui/MessageBox.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace shell {

frmSetSystem::frmSetSystem(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmSetSystem"));
    setWindowTitle(Windows::caption(QStringLiteral("frmSetSystem")));

    auto* famAotoRUN = new QGroupBox(QStringLiteral("设置系统自启"), this);
    famAotoRUN->setObjectName(QStringLiteral("famAotoRUN"));
    cheAotoRUN_ = new QCheckBox(QStringLiteral("开机后自动启动“Veltrano”"), famAotoRUN);
    cheAotoRUN_->setObjectName(QStringLiteral("cheAotoRUN"));
    // The box shows what is set now, so that "确定" after choosing a tool
    // does not switch the start with the desktop off unseen.
    cheAotoRUN_->setChecked(autostartEnabled());
    auto* autoLayout = new QVBoxLayout(famAotoRUN);
    autoLayout->addWidget(cheAotoRUN_);

    auto* famEDIT = new QGroupBox(QStringLiteral("设置工具栏"), this);
    famEDIT->setObjectName(QStringLiteral("famEDIT"));
    auto* toolLayout = new QHBoxLayout(famEDIT);
    const QList<ToolEntry>& tools = toolEntries();
    for (int i = 0; i < 4; ++i) {
        optEDIT_[i] = new QRadioButton(tools[i].caption, famEDIT);
        optEDIT_[i]->setObjectName(QStringLiteral("optEDIT(%1)").arg(i));
        optEDIT_[i]->setToolTip(QStringLiteral("查找“%1”程序").arg(tools[i].searchName));
        // clicked, not toggled: choosing the same tool again opens the
        // finder again.
        connect(optEDIT_[i], &QRadioButton::clicked, this, [this, i] { chooseTool(i); });
        toolLayout->addWidget(optEDIT_[i]);
    }

    auto* famBackup = new QGroupBox(QStringLiteral("数据备份"), this);
    famBackup->setObjectName(QStringLiteral("famBackup"));
    lstBackup_ = new QListWidget(famBackup);
    lstBackup_->setObjectName(QStringLiteral("lstBackup"));
    lstBackup_->setToolTip(QStringLiteral("程序每天启动时和导入前自动备份；保留最近30天和每月第一次的备份"));
    auto* backUp = new QPushButton(QStringLiteral("立即备份"), famBackup);
    backUp->setObjectName(QStringLiteral("cmdBackup(0)"));
    auto* restore = new QPushButton(QStringLiteral("恢复所选备份..."), famBackup);
    restore->setObjectName(QStringLiteral("cmdBackup(1)"));
    connect(backUp, &QPushButton::clicked, this, &frmSetSystem::backUpNow);
    connect(restore, &QPushButton::clicked, this, &frmSetSystem::restoreChosen);
    connect(lstBackup_, &QListWidget::itemDoubleClicked, this, &frmSetSystem::restoreChosen);
    auto* backupButtons = new QVBoxLayout;
    backupButtons->addWidget(backUp);
    backupButtons->addWidget(restore);
    backupButtons->addStretch();
    auto* backupLayout = new QHBoxLayout(famBackup);
    backupLayout->addWidget(lstBackup_, 1);
    backupLayout->addLayout(backupButtons);
    fillBackups();

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("cmdYesNo(0)"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cmdYesNo(1)"));
    connect(ok, &QPushButton::clicked, this, &frmSetSystem::accept);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(famAotoRUN);
    layout->addWidget(famEDIT);
    layout->addWidget(famBackup, 1);
    layout->addLayout(buttons);
    resize(480, 400);
}

void frmSetSystem::chooseTool(int index) {
    const ToolEntry& tool = toolEntries()[index];
    // A finder already open takes the new name and key as well.
    if (auto* finder =
            qobject_cast<frmFindFile*>(Windows::instance().open(QStringLiteral("frmFindFile"), this)))
        finder->applyPreset({tool.searchName, tool.key});
}

void frmSetSystem::accept() {
    const QString path = cheAotoRUN_->isChecked() ? QCoreApplication::applicationFilePath() : QString();
    const Outcome written = WriteAutoRun(path);
    if (!written) {
        // Nothing is lost: the window stays open for another try.
        MessageBox::showAll(this, written.messages);
        return;
    }
    close();
}

void frmSetSystem::fillBackups() {
    lstBackup_->clear();
    for (const backups::BackupSet& set : backups::list(AppPaths::dataDir())) {
        auto* item = new QListWidgetItem(set.caption(), lstBackup_);
        item->setData(Qt::UserRole, set.when);
        item->setData(Qt::UserRole + 1, set.files);
        item->setToolTip(set.files.join(QStringLiteral("、")));
    }
    if (lstBackup_->count() > 0) lstBackup_->setCurrentRow(0);
}

void frmSetSystem::backUpNow() {
    const Outcome made = backups::backupAll(AppPaths::dataDir(), QDateTime::currentDateTime());
    fillBackups();
    MessageBox::showAll(this, made ? QStringList{QStringLiteral("数据已经备份完毕！")} : made.messages);
}

void frmSetSystem::restoreChosen() {
    const QListWidgetItem* item = lstBackup_->currentItem();
    if (!item) {
        MessageBox::show(this, QStringLiteral("请先选中要恢复的备份！"));
        return;
    }
    // Windows that keep a class or a library open would go on showing, and
    // writing, what the restore replaces underneath them.
    QStringList busy;
    for (const QString& name : Windows::instance().holdingData())
        busy.append(QStringLiteral("“%1”").arg(Windows::caption(name)));
    if (!busy.isEmpty()) {
        MessageBox::show(this,
                         QStringLiteral("%1窗口正在使用数据，请先关闭后再恢复备份！").arg(busy.join(u'、')));
        return;
    }
    backups::BackupSet set;
    set.when = item->data(Qt::UserRole).toDateTime();
    set.files = item->data(Qt::UserRole + 1).toStringList();
    if (!MessageBox::ask(this, QStringLiteral("恢复备份 %1 后，现有的数据将被替换（替换前会先备份现有数据）。"
                                              "确定要恢复吗？")
                                   .arg(set.caption())))
        return;
    const Outcome restored = backups::restore(AppPaths::dataDir(), set, QDateTime::currentDateTime());
    fillBackups();
    MessageBox::showAll(this, restored.messages);
}

} // namespace shell
