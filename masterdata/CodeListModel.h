#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QVariant>

// One column of a code list: a field of t_code, its title and how it shows.
struct CodeListColumn
{
    QString field;
    QString caption;
    bool numeric = false;
    QString displayFormat;
};

// The rows of one kind of t_code, edited in memory: nothing reaches the database until
// sendChanges() sends every pending change at once, and discardChanges() forgets them all.
class CodeListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit CodeListModel(const QList<CodeListColumn> &columns, QObject *parent = nullptr);

    // Reads the rows of `kind`; on failure the list is empty (the error box has been shown).
    bool open(const QString &kind);
    QString kind() const { return m_kind; }
    void setCaption(int column, const QString &caption);

    // While editable, cells accept values and rows may be appended.
    void setEditable(bool editable);
    // A row with an empty name and no rate, at the end.
    int appendRow();
    bool isBlankNewRow(int row) const;
    QString name(int row) const;

    // Inserts appended rows and updates changed ones under the current kind, in one
    // transaction. On failure nothing is stored, every pending change stays and `error` says why.
    bool sendChanges(QString *error);
    void discardChanges();
    // Deletes the row from the database at once; false (and the row kept) when that failed.
    bool removeStoredRow(int row);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Row
    {
        QVariant id; // null until stored
        QVariantList values;
        bool operator==(const Row &) const = default;
    };

    bool changed(const Row &row) const;
    QVariantList storedValues(const Row &row) const;

    QList<CodeListColumn> m_columns;
    QString m_kind;
    QList<Row> m_rows;
    QList<Row> m_stored; // as last read: what discardChanges() returns to
    bool m_editable = false;
};
