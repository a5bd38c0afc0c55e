#pragma once

#include "shell/core/Outcome.h"

#include <QDateTime>
#include <QString>

namespace shell {

// Where the program puts the documents it exports without asking for a name:
// the folder "导出" in the data folder, beside the database files.
QString exportFolder();

// A file name that is not taken yet in the export folder, made from what the
// document is (a print title, a class name) and the time:
// "初一1班成绩表-20240305-143012.xlsx", then "…(2).xlsx" and so on when
// that is taken. Characters a file name cannot hold are replaced by "_". The
// folder is created when missing; when it cannot be, the outcome fails with
// the reason and the path is empty.
struct ExportTarget {
    Outcome outcome;
    QString path;
};
ExportTarget newExportFile(const QString& title, const QString& suffix,
                           const QDateTime& when = QDateTime::currentDateTime());

} // namespace shell
