#include "LessonEditorPanel.h"

#include "shell/ui/MessageBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace lessons {

namespace {
QComboBox* combo(QWidget* parent, const QString& name, const QStringList& items) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(true);
    // A typed text is checked when it is used; it never joins the list.
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems(items);
    return c;
}
QTextEdit* textBox(QWidget* parent, const QString& name, const QString& text) {
    auto* t = new QTextEdit(parent);
    t->setObjectName(name);
    t->setAcceptRichText(false);
    t->setPlainText(text);
    return t;
}
} // namespace

LessonEditorPanel::LessonEditorPanel(LessonLibrary& library, QWidget* parent)
    : QFrame(parent), library_(library) {
    setObjectName(QStringLiteral("fraJAclass(2)"));
    setFrameShape(QFrame::StyledPanel);

    QStringList volumes;
    for (int v = 1; v <= kVolumes; ++v)
        volumes << QString::number(v);
    cobSubject_ = combo(this, QStringLiteral("cobAddText(0)"), subjectNames());
    cobVolume_ = combo(this, QStringLiteral("cobAddText(1)"), volumes);
    cobVolume_->setCurrentIndex(0);
    cobTopic_ = combo(this, QStringLiteral("cobAddText(2)"), {});
    cobTopic_->setEditText(QString());
    auto* labSubject = new QLabel(QStringLiteral("科第"), this);
    labSubject->setObjectName(QStringLiteral("labAddText(0)"));
    auto* labVolume = new QLabel(QStringLiteral("册"), this);
    labVolume->setObjectName(QStringLiteral("labAddText(1)"));
    ricJAaddText_ = textBox(this, QStringLiteral("ricJAaddText"), QStringLiteral("增加新教案内容"));
    ricAddTextFX_ = textBox(this, QStringLiteral("ricAddTextFX"), QStringLiteral("请输入教案分析"));
    txtKj_ = new QLineEdit(QStringLiteral("请输入课件地址"), this);
    txtKj_->setObjectName(QStringLiteral("txtKj"));
    QPushButton* buttons[3];
    const QStringList captions{QStringLiteral("打开"), QStringLiteral("添加"), QStringLiteral("更新")};
    for (int i = 0; i < 3; ++i) {
        buttons[i] = new QPushButton(captions[i], this);
        buttons[i]->setObjectName(QStringLiteral("cmdAddText(%1)").arg(i));
    }

    cobSubject_->setMinimumContentsLength(4);
    cobVolume_->setMinimumContentsLength(3);
    auto* pick = new QHBoxLayout;
    pick->addWidget(cobSubject_);
    pick->addWidget(labSubject);
    pick->addWidget(cobVolume_);
    pick->addWidget(labVolume);
    pick->addSpacing(12);
    pick->addWidget(new QLabel(QStringLiteral("课题："), this));
    pick->addWidget(cobTopic_, 1);
    for (QPushButton* b : buttons)
        pick->addWidget(b);

    auto* boxes = new QGridLayout;
    boxes->addWidget(new QLabel(QStringLiteral("教案内容："), this), 0, 0);
    boxes->addWidget(new QLabel(QStringLiteral("教案分析："), this), 0, 1);
    boxes->addWidget(ricJAaddText_, 1, 0);
    boxes->addWidget(ricAddTextFX_, 1, 1);
    // The analysis beside the plan is a narrow column (2300 twips).
    ricAddTextFX_->setFixedWidth(2300 / 15 + 80);
    boxes->setColumnStretch(0, 1);

    auto* address = new QHBoxLayout;
    address->addWidget(new QLabel(QStringLiteral("课件地址："), this));
    address->addWidget(txtKj_, 1);

    auto* all = new QVBoxLayout(this);
    all->addLayout(pick);
    all->addLayout(boxes, 1);
    all->addLayout(address);

    connect(cobSubject_, &QComboBox::activated, this, &LessonEditorPanel::subjectChosen);
    connect(cobVolume_, &QComboBox::activated, this, &LessonEditorPanel::volumeChosen);
    connect(cobTopic_, &QComboBox::activated, this, &LessonEditorPanel::topicChosen);
    connect(buttons[0], &QPushButton::clicked, this, &LessonEditorPanel::openLesson);
    connect(buttons[1], &QPushButton::clicked, this, &LessonEditorPanel::addLesson);
    connect(buttons[2], &QPushButton::clicked, this, &LessonEditorPanel::updateLesson);
}

void LessonEditorPanel::say(const shell::Outcome& o) {
    shell::MessageBox::showAll(this, o.messages);
}

void LessonEditorPanel::subjectChosen() {
    cobVolume_->setFocus();
}

void LessonEditorPanel::volumeChosen() {
    int volume = 0;
    QString table;
    const shell::Outcome ok =
        checkVolumeChoice(cobSubject_->currentText(), cobVolume_->currentText(), &volume, &table);
    if (!ok) return say(ok);
    library_.SubjectTable(cobSubject_->currentText());
    QStringList topics;
    const shell::Outcome read = library_.ListTopics(volume, &topics);
    cobTopic_->clear();
    cobTopic_->addItems(topics);
    // The box shows the volume's last topic, or nothing.
    cobTopic_->setEditText(topics.isEmpty() ? QString() : topics.last());
    if (!read) say(read);
}

void LessonEditorPanel::topicChosen() {
    if (cobTopic_->currentText().trimmed().isEmpty())
        return say(shell::Outcome::fail(shell::Reason::Invalid, text::enterTopic()));
    int volume = 0;
    QString table;
    const shell::Outcome ok =
        checkVolumeChoice(cobSubject_->currentText(), cobVolume_->currentText(), &volume, &table);
    if (!ok) return say(ok);
    library_.SubjectTable(cobSubject_->currentText());
    load(volume, cobTopic_->currentText());
}

void LessonEditorPanel::load(int volume, const QString& topic) {
    LessonPlan plan;
    bool tableEmpty = true;
    const shell::Outcome got = library_.LoadLesson(volume, topic, &plan, &tableEmpty);
    if (!got) {
        // The plan box is emptied as the scan passes records that do not match.
        if (got.reason == shell::Reason::NotFound && !tableEmpty) ricJAaddText_->clear();
        return say(got);
    }
    ricJAaddText_->setPlainText(plan.text);
    // An empty analysis or address keeps what the box holds.
    if (!plan.analysis.isEmpty()) ricAddTextFX_->setPlainText(plan.analysis);
    if (!plan.address.isEmpty()) txtKj_->setText(plan.address);
}

void LessonEditorPanel::openLesson() {
    run(Action::Open);
}
void LessonEditorPanel::addLesson() {
    run(Action::Add);
}
void LessonEditorPanel::updateLesson() {
    run(Action::Update);
}

void LessonEditorPanel::run(Action action) {
    const PanelInput in{cobSubject_->currentText(),   cobVolume_->currentText(),    cobTopic_->currentText(),
                        ricJAaddText_->toPlainText(), ricAddTextFX_->toPlainText(), txtKj_->text()};
    LessonPlan plan;
    QString table;
    const shell::Outcome checked = checkPanelInput(in, &plan, &table);
    if (!checked) return say(checked);
    if (plan.address != in.address) txtKj_->setText(plan.address);
    library_.SubjectTable(in.subject);
    switch (action) {
    case Action::Open:
        load(plan.volume, plan.topic);
        return;
    case Action::Add: {
        const shell::Outcome added = library_.AddLesson(plan);
        say(added);
        if (added) {
            ricJAaddText_->setPlainText(QString(10, u' '));
            ricAddTextFX_->setPlainText(QStringLiteral("注："));
        }
        return;
    }
    case Action::Update:
        say(library_.UpdateLesson(plan));
        return;
    }
}

} // namespace lessons
