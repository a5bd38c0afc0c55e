#include "frmImport.h"

#include "shell/core/AppPaths.h"
#include "shell/core/Backups.h"
#include "shell/ui/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPromise>
#include <QPushButton>
#include <QTableWidget>
#include <QThreadPool>
#include <QTimer>
#include <QVBoxLayout>

namespace scores {

// A read under way: the worker fills rows and outcome, the window reads them
// once the worker has finished. Shared, so a window closed mid-read leaves
// the worker something to finish into.
struct frmImport::Read {
    QString path;
    shell::TableRead watch;
    shell::TableRows rows;
    Outcome outcome;
};

// A dialog of the score window that can be made as large as the screen.
frmImport::frmImport(ScoreModel& model, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowMaximizeButtonHint), model_(model) {
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("导入学生名单和成绩"));
    setAttribute(Qt::WA_DeleteOnClose);

    labFile_ = new QLabel(this);
    labFile_->setObjectName(QStringLiteral("labFile"));
    labFile_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* hint =
        new QLabel(QStringLiteral("请在每一列上方选择这一列导入到哪里：学号、姓名、科目成绩或不导入。"
                                  "学号相同的学生更新成绩，新学号的学生添加到班级中。"),
                   this);
    hint->setObjectName(QStringLiteral("labHint"));
    hint->setWordWrap(true);
    cheHeading_ = new QCheckBox(QStringLiteral("第一行是标题（不作为学生导入）"), this);
    cheHeading_->setObjectName(QStringLiteral("cheHeading"));
    connect(cheHeading_, &QCheckBox::toggled, this, &frmImport::headingToggled);

    preview_ = new QTableWidget(this);
    preview_->setObjectName(QStringLiteral("msfgImport"));
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->setSelectionMode(QAbstractItemView::NoSelection);
    preview_->horizontalHeader()->setDefaultSectionSize(110);
    labRows_ = new QLabel(this);
    labRows_->setObjectName(QStringLiteral("labRows"));

    prgRead_ = new QProgressBar(this);
    prgRead_->setObjectName(QStringLiteral("prgRead"));
    prgRead_->setRange(0, 1000);
    prgRead_->setFormat(QStringLiteral("正在读取文件……%p%"));
    prgRead_->hide();
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, [this] {
        if (read_) prgRead_->setValue(read_->watch.permille.load());
    });
    connect(&readWatcher_, &QFutureWatcher<void>::finished, this, &frmImport::readDone);

    auto* ok = new QPushButton(QStringLiteral("导入"), this);
    ok->setObjectName(QStringLiteral("cmdImport(0)"));
    ok->setDefault(true);
    cmdImport_ = ok;
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cmdImport(1)"));
    connect(ok, &QPushButton::clicked, this, &frmImport::runImport);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(labRows_, 1);
    buttons->addWidget(prgRead_, 1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(labFile_);
    layout->addWidget(hint);
    layout->addWidget(cheHeading_);
    layout->addWidget(preview_, 1);
    layout->addLayout(buttons);
    resize(820, 520);
}

frmImport::~frmImport() {
    // The worker finishes on its own; all it needs is to stop soon.
    if (read_) read_->watch.cancel = true;
}

void frmImport::readFile(const QString& path) {
    if (read_) read_->watch.cancel = true;
    read_ = std::make_shared<Read>();
    read_->path = path;
    labFile_->setText(QStringLiteral("文件：%1").arg(QFileInfo(path).fileName()));
    labFile_->setToolTip(path);
    labRows_->hide();
    cmdImport_->setEnabled(false);
    prgRead_->setValue(0);
    prgRead_->show();
    progressTimer_->start();

    auto done = std::make_shared<QPromise<void>>();
    readWatcher_.setFuture(done->future());
    done->start();
    QThreadPool::globalInstance()->start([read = read_, done] {
        read->outcome = shell::readTableFile(read->path, read->rows, &read->watch);
        done->finish();
    });
}

void frmImport::readDone() {
    if (!read_ || !readWatcher_.isFinished()) return;
    const std::shared_ptr<Read> read = std::move(read_);
    progressTimer_->stop();
    prgRead_->hide();
    labRows_->show();
    cmdImport_->setEnabled(true);
    if (!read->outcome) {
        if (read->outcome.reason != Reason::NotChosen)
            shell::MessageBox::showAll(this, read->outcome.messages);
        close();
        return;
    }
    if (read->rows.isEmpty()) {
        shell::MessageBox::show(this, QStringLiteral("文件中没有可以导入的内容！"));
        close();
        return;
    }
    setTable(read->path, read->rows);
}

void frmImport::setTable(const QString& path, const shell::TableRows& rows) {
    path_ = path;
    rows_ = rows;
    labFile_->setText(QStringLiteral("文件：%1").arg(QFileInfo(path).fileName()));
    labFile_->setToolTip(path);
    int columns = 0;
    for (const QStringList& row : rows_)
        columns = std::max(columns, int(row.size()));
    const QStringList first = rows_.value(0);
    const QList<int> guess = guessImportColumns(first, model_.classData());
    const QStringList choices = importChoices(model_.classData());

    // Removing the rows lets the view release the combos of an earlier file.
    preview_->setRowCount(0);
    preview_->clear();
    combos_.clear();
    preview_->setColumnCount(columns);
    QStringList letters;
    for (int c = 0; c < columns; ++c) {
        // Columns by the spreadsheet's letters, so the teacher finds them in the file.
        QString name;
        for (int n = c + 1; n > 0; n = (n - 1) / 26)
            name.prepend(QChar(u'A' + (n - 1) % 26));
        letters << name;
        auto* combo = new QComboBox;
        combo->setObjectName(QStringLiteral("cobColumn(%1)").arg(c));
        combo->addItems(choices);
        combo->setCurrentIndex(guess.value(c, kImportSkip));
        combos_.append(combo);
    }
    preview_->setHorizontalHeaderLabels(letters);
    const bool heading = looksLikeHeading(first, model_.classData());
    cheHeading_->blockSignals(true);
    cheHeading_->setChecked(heading);
    cheHeading_->blockSignals(false);
    fillPreview();
}

void frmImport::fillPreview() {
    // Row 0 holds the combos; the file's first rows follow, numbered as in the file.
    const int shown = std::min(int(rows_.size()), kPreviewRows);
    preview_->setRowCount(shown + 1);
    QStringList numbers{QStringLiteral("导入到")};
    for (int r = 0; r < shown; ++r) {
        numbers << QString::number(r + 1);
        const QStringList& row = rows_[r];
        for (int c = 0; c < preview_->columnCount(); ++c) {
            auto* item = new QTableWidgetItem(row.value(c));
            if (r == 0 && cheHeading_->isChecked()) {
                QFont f = item->font();
                f.setBold(true);
                item->setFont(f);
                item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
            }
            preview_->setItem(r + 1, c, item);
        }
    }
    preview_->setVerticalHeaderLabels(numbers);
    for (int c = 0; c < combos_.size(); ++c)
        if (preview_->cellWidget(0, c) != combos_[c]) preview_->setCellWidget(0, c, combos_[c]);
    const int students = int(rows_.size()) - (cheHeading_->isChecked() ? 1 : 0);
    labRows_->setText(QStringLiteral("文件共%1行（%2行学生），这里显示前%3行。")
                          .arg(rows_.size())
                          .arg(std::max(students, 0))
                          .arg(shown));
}

void frmImport::headingToggled() {
    fillPreview();
}

void frmImport::runImport() {
    ImportRequest request;
    request.rows = rows_;
    request.headingRow = cheHeading_->isChecked();
    for (QComboBox* combo : combos_)
        request.columns.append(combo->currentIndex());

    ImportCheck check;
    const Outcome checked = checkImport(model_, request, &check);
    if (!checked) {
        shell::MessageBox::showAll(this, checked.messages);
        return;
    }
    if (check.added + check.updated == 0) {
        QStringList shown{QStringLiteral("文件中没有可以导入的学生！")};
        shown << check.lines();
        shell::MessageBox::show(this, shown.join(u'\n'));
        return;
    }
    const QString counts =
        QStringLiteral("将新增%1位学生，更新%2位学生的资料。").arg(check.added).arg(check.updated);
    if (!check.problems.isEmpty()) {
        const QString question = QStringLiteral("以下%1行有问题，导入时将跳过：\n%2\n\n%3是否导入其余各行？")
                                     .arg(check.problems.size())
                                     .arg(check.lines().join(u'\n'), counts);
        if (!shell::MessageBox::ask(this, question)) return;
        request.skipFaulty = true;
    } else if (!shell::MessageBox::ask(this, counts + QStringLiteral("确定导入吗？"))) {
        return;
    }

    // The class as it was is one restore away from a wrong import.
    const Outcome backedUp =
        shell::backups::backupAll(shell::AppPaths::dataDir(), QDateTime::currentDateTime());
    if (!backedUp) {
        QStringList texts = backedUp.messages;
        texts << QStringLiteral("仍然导入吗？");
        if (!shell::MessageBox::ask(this, texts.join(u'\n'))) return;
    }

    const Outcome done = importStudents(model_, request);
    if (!done) {
        // Nothing of the file was written; the window stays for another try.
        shell::MessageBox::showAll(this, done.messages);
        return;
    }
    Q_EMIT imported();
    shell::MessageBox::showAll(this, done.messages);
    close();
}

} // namespace scores
