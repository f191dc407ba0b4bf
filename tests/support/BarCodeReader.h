#pragma once

#include "report/PreparedReport.h"

#include <QStringList>

// What `program` writes to standard output when run with `arguments` (waiting up to 2 min).
QString toolOutput(const QString &program, const QStringList &arguments);

// Reads the bar codes of a report's PDF back as a phone-grade reader does (zbarimg), one
// symbol at a time: each bar-code element's area of its page rendered at 300 dpi.
bool barCodeReaderFound();
// What each bar-code element of `report` (in page order) decodes to in `pdf`; empty where
// nothing decodes.
QStringList readBarCodes(const QString &pdf, const Report::Prepared &report);
// What the reader finds anywhere on every page of `pdf`, sorted.
QStringList readAllBarCodes(const QString &pdf);
