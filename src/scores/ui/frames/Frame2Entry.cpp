#include "Frame2Entry.h"

#include "scores/ui/frmStudenCJ.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace scores {

Frame2Entry::Frame2Entry(frmStudenCJ* window)
    : TaskFrame(2, QStringLiteral("成绩录入"), QPoint(2880, 300), QSize(652, 52), window) {
    subject_ = new QComboBox(this);
    subject_->setObjectName(QStringLiteral("cobKM"));
    subject_->setEditable(true);
    subject_->setInsertPolicy(QComboBox::NoInsert);
    subject_->setEditText(QStringLiteral("语文"));
    subject_->setGeometry(10, 14, 92, 26);
    auto chosen = [this](int index) {
        if (!isVisible() || index < 0) return;
        model().chooseEntrySubject(index);
        score_->setFocus();
    };
    connect(subject_, &QComboBox::activated, this, chosen);
    connect(subject_, &QComboBox::currentIndexChanged, this, chosen);

    mode_[0] = new QRadioButton(QStringLiteral("按学号录入"), this);
    mode_[1] = new QRadioButton(QStringLiteral("按姓名录入"), this);
    for (int i = 0; i < 2; ++i) {
        mode_[i]->setObjectName(QStringLiteral("optStdNameNumberSelect(%1)").arg(i));
        mode_[i]->setGeometry(110, 4 + 22 * i, 100, 22);
        connect(mode_[i], &QRadioButton::toggled, this, [this](bool on) {
            if (on) fillStudents();
        });
    }

    student_ = new QComboBox(this);
    student_->setObjectName(QStringLiteral("cobXBBH"));
    student_->setEditable(true);
    student_->setInsertPolicy(QComboBox::NoInsert);
    student_->setEditText(QStringLiteral("学生姓名"));
    student_->setGeometry(214, 14, 112, 26);

    score_ = new QLineEdit(this);
    score_->setObjectName(QStringLiteral("txtStudensCj"));
    score_->setGeometry(332, 14, 62, 26);
    connect(score_, &QLineEdit::returnPressed, this, &Frame2Entry::confirm);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("cmdAddCjYes(1)"));
    ok->setGeometry(400, 12, 58, 30);
    connect(ok, &QPushButton::clicked, this, &Frame2Entry::confirm);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("cmdAddCjYes(0)"));
    close->setGeometry(462, 12, 58, 30);
    connect(close, &QPushButton::clicked, this, [this] {
        hide();
        this->window()->setEntryLayout(false);
    });
    for (int i = 2; i < 4; ++i) {
        auto* page = new QPushButton(i == 2 ? QStringLiteral("上一个") : QStringLiteral("下一个"), this);
        page->setObjectName(QStringLiteral("cmdNamePage(%1)").arg(i));
        page->setGeometry(526 + 62 * (i - 2), 12, 58, 30);
        page->setEnabled(false);
        // Enter on a focused "下一个" moves on, so a class is entered from the keyboard.
        page->setAutoDefault(true);
        connect(page, &QPushButton::clicked, this, [this, i] { this->window()->MoveCurrent(i); });
        if (i == 3) next_ = page;
    }
    mode_[0]->setChecked(true);
    connect(&model(), &ScoreModel::subjectCombosChanged, this, &Frame2Entry::syncSubjects);
}

bool Frame2Entry::byName() const {
    return mode_[1]->isChecked();
}

void Frame2Entry::open() {
    showAndPlace(true);
    window()->setEntryLayout(true);
    {
        const QSignalBlocker block(mode_[0]);
        mode_[0]->setChecked(true);
    }
    fillStudents();
    if (model().allowNextPageForEntry()) next_->setEnabled(true);
    model().ShowScoreTable();
}

void Frame2Entry::fillStudents() {
    student_->clear();
    const QStringList items = byName() ? model().studentNames() : model().studentNumbers();
    student_->addItems(items);
    // The combo ends showing the last student.
    student_->setCurrentIndex(int(items.size()) - 1);
    if (items.isEmpty()) student_->setEditText(QString());
}

void Frame2Entry::syncSubjects() {
    const QSignalBlocker block(subject_);
    subject_->clear();
    subject_->addItems(model().viewState().entrySubjectItems);
    subject_->setCurrentIndex(-1);
    subject_->setEditText(QString());
}

void Frame2Entry::gridClicked(int row, int, const ClickResult& click) {
    {
        const QSignalBlocker block(subject_);
        if (click.subjectColumn) {
            subject_->setCurrentIndex(model().viewState().entrySubject);
            subject_->setEditText(click.subjectText);
        } else {
            subject_->setCurrentIndex(-1);
            subject_->setEditText(QString());
        }
    }
    if (isVisible()) student_->setEditText(model().studentText(row, byName()));
}

void Frame2Entry::currentMoved() {
    student_->setEditText(model().currentStudentText(byName()));
}

void Frame2Entry::confirm() {
    const Outcome o =
        model().storeScore(subject_->currentText(), byName(), student_->currentText(), score_->text());
    tell(o);
    // A refused subject or score keeps the box for correcting; once the
    // student has been looked up the box is emptied for the next one.
    if (!o.ok && o.reason != Reason::NotFound) {
        score_->setFocus();
        score_->selectAll();
        return;
    }
    score_->clear();
    if (next_->isEnabled())
        next_->setFocus();
    else
        score_->setFocus();
}

} // namespace scores
