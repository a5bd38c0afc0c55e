#pragma once

#include "WriterWindow.h"

namespace compose {

// "期末总结枪手", the summary writer: an opening that replaces the article,
// then middle and ending statements inserted where the caret stands, each
// with a first-line indent, from the summary library.
class frmQiMoZhongJie : public WriterWindow {
    Q_OBJECT
public:
    explicit frmQiMoZhongJie(QWidget* parent = nullptr);

    // The first-line indent of every placed statement, in twips.
    static constexpr int kIndent = 550;

protected:
    void stepClicked(int n) override;

private:
    void buildTree();
    void startOpening();
    void itemClicked(int list);
    void itemDoubleClicked(int list);
    void acceptOpening(const QString& text);
    void LoadMiddleList();
    void LoadEndingList();
    void InsertAtCaret(const QString& p);
    void enterEditStep();
    void stageButton(int index);

    QLabel* labZJ_ = nullptr;
};

} // namespace compose
