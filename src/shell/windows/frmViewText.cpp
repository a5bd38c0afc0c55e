#include "frmViewText.h"

#include "shell/Windows.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace shell {

frmViewText::frmViewText(QWidget* parent) : QWidget(parent, Qt::Window | Qt::Tool) {
    setObjectName(QStringLiteral("frmViewText"));
    setWindowTitle(Windows::caption(QStringLiteral("frmViewText")));
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("txtViewText"));
    text_->setReadOnly(true);
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(4, 4, 4, 4);
    l->addWidget(text_);
    resize(420, 220);
}

void frmViewText::setText(const QString& text) {
    text_->setPlainText(text);
}

} // namespace shell
