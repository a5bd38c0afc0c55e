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
    bool nodeStartsOpening() override;
    QStringList categories(Stage s) const override;
    void placeOpening(const QString& text) override;
    void placeMiddle(const QString& heading, const QString& text) override;
    void placeEnding(const QString& text) override;

private:
    void buildTree();
    // The statement replaces the selection, as paragraphs of its own: the
    // heading (numbered with the others) when there is one, then the text,
    // each paragraph with the first-line indent; the caret after it.
    void InsertAtCaret(const QString& heading, const QString& p);
};

} // namespace compose
