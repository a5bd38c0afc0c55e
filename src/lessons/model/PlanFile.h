#pragma once

#include "shell/core/Outcome.h"

#include <QByteArray>
#include <QString>

namespace lessons {

// The teacher's own lesson plans are plain text files, written as UTF-8 (by
// the article's plain-text save). Files made on other desktops are often GB18030 (GBK): a file that
// is valid UTF-8 is read as UTF-8 (a byte-order mark dropped), any other as
// GB18030.
QString decodePlanText(const QByteArray& bytes);

// Reads a plan file; NotFound when it is not there, Failed when it cannot be
// read, with the file and the reason in the message.
shell::Outcome readPlanFile(const QString& path, QString* text);

} // namespace lessons
