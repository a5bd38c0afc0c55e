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
    // The statement replaces the selection, as paragraphs of its own: the
    // heading (numbered with the others) when there is one, then the text,
    // each paragraph with the first-line indent; the caret after it.
    void InsertAtCaret(const QString& heading, const QString& p);
    void enterEditStep();
    void stageButton(int index);

    QLabel* labZJ_ = nullptr;
};

} // namespace compose
