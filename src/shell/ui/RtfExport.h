#pragma once

#include "shell/core/Outcome.h"

#include <QByteArray>
#include <QString>

class QWidget;

namespace shell {

// The filters of the writer tools' exports, in the form "名称(*.ext)|*.ext|…".
inline const QString kDocExportFilter = QStringLiteral("WPS文件(*.wps)|*.wps|Word文件(*.doc)|*.doc");
inline const QString kDocTxtExportFilter =
    QStringLiteral("WPS文件(*.wps)|*.wps|Word文件(*.doc)|*.doc|TXT文件(*.txt)|*.txt");

// "WPS文件(*.wps)|*.wps|Word文件(*.doc)|*.doc" as Qt's dialog takes it:
// "WPS文件(*.wps);;Word文件(*.doc)". Each entry's own pattern goes into the
// shown name when the name does not hold it already.
QStringList qtFileFilters(const QString& pairs);

// Saves a composed document through the save dialog: `caption` and
// `filter` as the window gives them, the filter entry `selectedFilter`
// (0-based) chosen first, `suggestedName` (the document's title, without
// extension; none when empty) offered with that entry's extension, in the
// folder the dialogs last used. Qt's dialog asks before replacing a file.
// The name is used as typed (no extension is added). A name ending in
// ".txt" gets `plainText` as a text file any editor reads (UTF-8 with a
// byte-order mark, CR LF line ends); every other name gets the RTF.
// - cancelled: Reason::NotChosen, nothing written, nothing shown;
// - the file could not be written: any file of that name is left as it was,
//   the teacher is told ("无法写入文件“…”：…") and the Outcome carries it.
Outcome exportDocument(QWidget* parent, const QString& caption, const QString& filter, const QByteArray& rtf,
                       const QString& plainText, int selectedFilter = 0, const QString& suggestedName = {});
// The same for a plain text (as RTF one paragraph per line, 宋体 12 points).
Outcome exportTextAsRtf(QWidget* parent, const QString& caption, const QString& filter, const QString& text,
                        int selectedFilter = 0, const QString& suggestedName = {});
// The bytes of a .txt export: UTF-8 with a byte-order mark, CR LF.
QByteArray windowsText(const QString& text);

} // namespace shell
