#pragma once

#include <QString>

class QWidget;

namespace shell {

// File choosers of the program: Qt's own dialog (never the native one).
// Every dialog starts in the folder the teacher last opened or saved in
// (kept in the settings file across starts), else the documents folder,
// never the program's working folder. `dir` is the name to suggest ("开学计划",
// "初一(1)班.pdf"); a name with a folder of its own (absolute) is used as
// given. The folder of every chosen file is remembered.
// Tests queue the name the next dialog returns ("" = cancelled) instead of
// showing it; a queued name is not remembered.
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

    // The folder a dialog starts in now, and the path it is given for a
    // suggested name (the start folder, or that folder and the name).
    static QString startFolder();
    static QString startPath(const QString& suggested);

    static void setNextFileName(const QString& name);
    static void clearNextFileNames();
};

} // namespace shell
