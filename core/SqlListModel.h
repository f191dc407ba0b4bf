#pragma once

#include "core/DataSource.h"
#include "core/ListQuery.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariantList>
#include <list>
#include <vector>

// A list over a filtered statement that never holds the whole result: rows are read in
// pages on demand ("limit/offset") and only a bounded number of pages stays in memory, so a
// register of a million records lists as fast and as small as one of a thousand.
// Columns are addressed by field name without regard to case.
class AggregateWorker;
class QSqlRecord;
class QThread;

class SqlListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit SqlListModel(QObject *parent = nullptr);
    ~SqlListModel() override;

    // Counts and sums on a connection of their own: the first rows show at once and the rest
    // of the list appears when the count arrives. Without this, counting waits.
    void setCountInBackground(const DataSource &source);
    // Columns whose sum over the whole list the footer shows.
    void setSumFields(const QStringList &fields);
    bool isCountKnown() const { return m_countKnown; }
    QVariant sum(const QString &field) const { return m_sums.value(field.toLower()); }

    // `select` is a complete statement without order and limit ("select * from T where …");
    // `orderBy` is empty or "order by …". Returns false when the statement fails (the error
    // is in lastError()); the list is then empty.
    bool setQuery(QSqlDatabase db, const QString &select, const QVariantList &values,
                  const QString &orderBy = {});
    // The key that ends every order (ListQuery::keyColumn).
    void setKeyColumn(const QString &column) { m_query.keyColumn = column; }
    // Finds the row whose `field` holds `key` and reports it with located(), at once when the
    // row is in memory, else when a reading of the whole list (in the background when counting
    // is) has reached it. -1: not listed. A newer statement voids the search.
    void locate(const QString &field, qint64 key);
    // Reads the statement again, as it is, for rows written meanwhile.
    bool reload();
    // Reads again with another order, keeping the statement.
    bool setOrderBy(const QString &orderBy);
    void clear();

    bool isOpen() const { return m_open; }
    QSqlDatabase database() const { return m_db; }
    QString lastError() const { return m_lastError; }
    QString statement() const { return m_query.select; }
    QVariantList values() const { return m_query.values; }
    QString orderBy() const { return m_query.orderBy; }
    // What the list reads, for work that reads the whole list elsewhere (export).
    const ListQuery &query() const { return m_query; }

    int fieldIndex(const QString &field) const;
    QString fieldName(int index) const { return m_fields.value(index); }
    QStringList fieldNames() const { return m_fields; }
    QVariant value(int row, int fieldIndex) const;
    QVariant value(int row, const QString &field) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    // The count (and sums) of the current statement are known.
    void aggregatesReady();
    void located(int row);
    // A statement of the list failed (its first page, a later page, the count); logged too.
    void failed(const QString &error) const;

public:
    static constexpr int kPageSize = 200;
    static constexpr int kCachedPages = 50;

private:
    using Row = QVariantList;
    using Page = std::vector<Row>;

    bool run();
    QVariantList unlimitedValues() const;
    int scanFor(int field, qint64 key) const;
    QString aggregateSql() const;
    void requestAggregates();
    void applyAggregates(quint64 generation, const QVariantList &results, const QString &error);
    void sumRowsInHand(const Page &rows);
    void forgetRows();
    // The fields of the statement come back in `record` when asked for.
    bool readPage(int page, Page *rows, QString *error, QSqlRecord *record = nullptr) const;
    void logFailure(int page, const QString &error) const;
    const Page *page(int index) const;

    QSqlDatabase m_db;
    ListQuery m_query;
    QStringList m_fields;
    QHash<QString, int> m_fieldByName; // lower-cased
    int m_rowCount = 0;
    bool m_countKnown = false;
    QStringList m_sumFields;
    QHash<QString, QVariant> m_sums; // lower-cased field → sum
    QThread *m_thread = nullptr;
    AggregateWorker *m_worker = nullptr;
    quint64 m_generation = 0;
    bool m_open = false;
    QString m_lastError;
    mutable QHash<int, Page> m_pages;
    mutable std::list<int> m_recent; // most recently used first
};
