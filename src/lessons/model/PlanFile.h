#pragma once

#include "shell/core/Outcome.h"

#include <QByteArray>
#include <QString>

namespace lessons {

// The teacher's own lesson plans are plain text files, written as UTF-8 (by
// the article's plain-text save). Files made on other desktops come in
// other forms: a file with a byte-order mark is read as its mark says
// (UTF-16 LE or BE, as Windows Notepad's "Unicode", or UTF-8); one without
// is read as UTF-8 when it is valid UTF-8, else as GB18030 (GBK).
QString decodePlanText(const QByteArray& bytes);

// Reads a plan file. Only a regular file is read: a folder, a named pipe or
// a device is refused at once (Invalid, without waiting on it); NotFound
// when it is not there; Failed when it cannot be read. The message names
// the file and says why, in the "系统提示：" style.
shell::Outcome readPlanFile(const QString& path, QString* text);

} // namespace lessons
