#pragma once

#include "shell/core/Outcome.h"

#include <QByteArray>
#include <QString>

namespace lessons {

// The teacher's own lesson plans are plain text files. They are written as
// UTF-8. Files made on other desktops are often GB18030 (GBK): a file that
// is valid UTF-8 is read as UTF-8 (a byte-order mark dropped), any other as
// GB18030.
QString decodePlanText(const QByteArray& bytes);

// Reads a plan file; NotFound when it is not there, Failed when it cannot be
// read, with the file and the reason in the message.
shell::Outcome readPlanFile(const QString& path, QString* text);
// Writes the whole text at once (temporary file, then rename), so a failed
// write leaves the file that was there as it was; the message says why.
shell::Outcome writePlanFile(const QString& path, const QString& text);

} // namespace lessons
