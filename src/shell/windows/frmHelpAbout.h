#pragma once

#include <QWidget>

namespace shell {

// The about window: product title, version, the maker's lines and a link to
// the support page.
class frmHelpAbout : public QWidget {
    Q_OBJECT
public:
    explicit frmHelpAbout(QWidget* parent = nullptr);
};

} // namespace shell
