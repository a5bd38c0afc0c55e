#include "frmHelpAbout.h"

#include "shell/Windows.h"
#include "shell/core/Branding.h"
#include "shell/ui/DocServices.h"
#include "shell/ui/Icons.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace shell {

frmHelpAbout::frmHelpAbout(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                          Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("frmHelpAbout"));
    setWindowTitle(Windows::caption(QStringLiteral("frmHelpAbout")));
    setWindowIcon(icon(QStringLiteral("about")));

    auto* pic = new QLabel(this);
    pic->setObjectName(QStringLiteral("imgAbout"));
    pic->setPixmap(picture(QStringLiteral("splash"), 72));
    pic->setAlignment(Qt::AlignTop);

    auto* title = new QLabel(productTitle(), this);
    title->setObjectName(QStringLiteral("labTitle"));
    QFont tf(QStringLiteral("华文新魏"));
    tf.setPointSize(18);
    title->setFont(tf);
    auto* version = new QLabel(versionLine(), this);
    version->setObjectName(QStringLiteral("labVersion"));

    auto* text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(version);
    text->addSpacing(8);
    for (const QString& line : contactLines())
        text->addWidget(new QLabel(line, this));
    auto* labHttP = new QLabel(this);
    labHttP->setObjectName(QStringLiteral("labHttP"));
    labHttP->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(supportUrl()));
    labHttP->setToolTip(QStringLiteral("点击这里，打开网页"));
    labHttP->setCursor(Qt::PointingHandCursor);
    labHttP->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(labHttP, &QLabel::linkActivated, this, [] { OpenSupportPage(); });
    text->addWidget(labHttP);
    text->addSpacing(8);
    auto* licence = new QLabel(licenceLines().join(u'\n'), this);
    licence->setObjectName(QStringLiteral("labLicence"));
    text->addWidget(licence);

    auto* cmdOK = new QPushButton(QStringLiteral("确定"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this,
            [] { Windows::instance().unload(QStringLiteral("frmHelpAbout")); });

    auto* top = new QHBoxLayout;
    top->addWidget(pic);
    top->addSpacing(12);
    top->addLayout(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(18, 18, 18, 14);
    root->addLayout(top);
    root->addSpacing(10);
    root->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(400, 220)));
    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
}

} // namespace shell
