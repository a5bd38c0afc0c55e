#pragma once

#include "lessons/model/LessonStore.h"

#include <QFrame>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;

namespace lessons {

// The library editor of the lesson-plan window (fraJAclass(2)): a plan is
// picked by subject, volume and topic, then opened, added or updated in the
// library. It works on the window's library, so the subject chosen here is
// the window's current table as well.
class LessonEditorPanel : public QFrame {
    Q_OBJECT
public:
    LessonEditorPanel(LessonLibrary& library, QWidget* parent = nullptr);

    QTextEdit* planBox() const { return ricJAaddText_; }
    QTextEdit* analysisBox() const { return ricAddTextFX_; }

    // The list choices and the buttons, as the teacher makes them.
    void subjectChosen();
    void volumeChosen();
    void topicChosen();
    void openLesson();
    void addLesson();
    void updateLesson();

private:
    enum class Action { Open, Add, Update };
    void run(Action action);
    void load(int volume, const QString& topic);
    void say(const shell::Outcome& o);

    LessonLibrary& library_;
    QComboBox* cobSubject_ = nullptr;
    QComboBox* cobVolume_ = nullptr;
    QComboBox* cobTopic_ = nullptr;
    QTextEdit* ricJAaddText_ = nullptr;
    QTextEdit* ricAddTextFX_ = nullptr;
    QLineEdit* txtKj_ = nullptr;
};

} // namespace lessons
