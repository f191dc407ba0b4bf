#pragma once

#include "spreadsheet/WorkbookReader.h"

#include <QByteArray>

// Comma-, semicolon- or tab-separated text as one sheet named after the file, parsed with
// liborcus's CSV parser. The encoding is told from the whole file: UTF-8 (with or without a
// byte-order mark, a few bytes that are no UTF-8 replaced and named in a note), else GB18030
// as older Chinese programs write it when that decodes cleanly. Cells are taken as they are
// written.
class CsvReader : public WorkbookReader
{
public:
    static std::unique_ptr<WorkbookReader> open(const QString &path, QString *error,
                                                const ReadBudget &budget);

    QStringList sheetNames() const override { return {m_name}; }
    WorkResult readSheet(int index, SheetTable *sheet, const WorkProgress &progress) override;
    QString encoding() const override { return m_encoding; }
    void setEncoding(const QString &name) override { m_chosen = name; }

    // How `bytes` were decoded.
    struct Decoded
    {
        QByteArray utf8;
        QString encoding;
        // The rows (from 1) holding bytes that are no UTF-8, replaced by U+FFFD.
        QList<int> replacedRows;
    };
    // The text of `bytes` as UTF-8; `encoding` "UTF-8" or "GB18030" forces one, empty decides.
    static Decoded decode(const QByteArray &bytes, const QString &encoding = {});
    // The separator the first line uses most: ',', ';' or '\t'.
    static char separatorOf(const QByteArray &utf8);

private:
    CsvReader() = default;

    QString m_path;
    QString m_name;
    ReadBudget m_budget;
    QString m_chosen;
    QString m_encoding;
};
