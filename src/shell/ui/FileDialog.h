#pragma once

#include <QString>

class QWidget;

namespace shell {

// File choosers of the program: Qt's own dialog (never the native one).
// Tests queue the name the next dialog returns ("" = cancelled).
class FileDialog {
public:
    static QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir = {},
                                   const QString& filter = {});
    static QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir = {},
                                   const QString& filter = {});
    // With the filter entry shown first (`selectedFilter`, Qt's form) and,
    // after the dialog, the one the user ended on.
    static QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                   const QString& filter, QString* selectedFilter);
    static void setNextFileName(const QString& name);
    static void clearNextFileNames();
};

} // namespace shell
