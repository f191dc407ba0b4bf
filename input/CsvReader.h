#pragma once

#include "input/WorkbookReader.h"

#include <QByteArray>

// Comma-, semicolon- or tab-separated text as one sheet named after the file, parsed with
// liborcus's CSV parser: UTF-8 with or without a byte-order mark, else GB18030 as older Chinese
// programs write it. Cells are taken as they are written.
class CsvReader : public WorkbookReader
{
public:
    static std::unique_ptr<WorkbookReader> open(const QString &path, QString *error);

    QStringList sheetNames() const override { return {m_name}; }
    bool readSheet(int index, SheetTable *sheet, QString *error, const Progress &progress) override;

    // The text of `bytes` as UTF-8, whichever of the two encodings it is in.
    static QByteArray toUtf8(const QByteArray &bytes);
    // The separator the first line uses most: ',', ';' or '\t'.
    static char separatorOf(const QByteArray &utf8);

private:
    CsvReader() = default;

    QString m_path;
    QString m_name;
};
