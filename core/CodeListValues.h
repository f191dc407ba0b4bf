#pragma once

#include <QStringList>

// The names of one code list (brands "pinpai", colours "yanse", currencies "rate" …) in the
// order they were entered, each once, blanks left out.
QStringList codeListValues(const QString &kind);
