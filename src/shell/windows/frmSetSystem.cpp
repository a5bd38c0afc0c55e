#include "frmSetSystem.h"

#include "frmFindFile.h"
#include "shell/Windows.h"
#include "shell/core/Settings.h"
#include "shell/ui/MessageBox.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
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
    layout->addStretch();
    layout->addLayout(buttons);
    resize(380, 190);
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

} // namespace shell
