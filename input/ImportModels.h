#pragma once

#include "input/ImportCodes.h"
#include "input/ImportPreview.h"
#include "spreadsheet/SheetTable.h"

#include <QAbstractTableModel>

// A worksheet as the wizard shows it, read-only, titled by its headings.
class SheetTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    void setSheet(SheetTable sheet);
    const SheetTable &sheet() const { return m_sheet; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    SheetTable m_sheet;
};

// The rows an import is about to store, editable: a column per mapping row titled with its
// caption. Values that the target column cannot hold are refused. Rows whose code the register
// holds, or an earlier row holds, are marked (row title, colour, tip) and follow every edit.
class ImportPreviewModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ImportPreviewModel(const QString &table, QObject *parent = nullptr);

    // `codes` are the register's, as ImportCodes::readCodes reads them; `fates` the plan of the
    // preview against them, when it was made already (off the window's thread).
    void setPreview(ImportPreview preview, QHash<QString, qint64> codes = {},
                    std::vector<ImportCodes::Fate> fates = {});
    const ImportPreview &preview() const { return m_preview; }
    void clear();

    // Existing (the register holds the code), Repeat (an earlier row does) or Add.
    ImportCodes::Fate fate(int row) const { return m_fates.at(size_t(row)); }
    int count(ImportCodes::Fate fate) const;

    // Why `text` cannot go into column `column`; empty when it can.
    QString check(int column, const QString &text) const;
    // Sets column `column` of the rows `rows` to `text`, which check() has accepted.
    void setColumnOfRows(const QList<int> &rows, int column, const QString &text);
    // Deletes the rows `rows` (any order).
    void removeRowsAt(QList<int> rows);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void marksChanged();

private:
    void mark();

    QString m_table;
    ImportPreview m_preview;
    QHash<QString, qint64> m_codes;
    std::vector<ImportCodes::Fate> m_fates;
};
