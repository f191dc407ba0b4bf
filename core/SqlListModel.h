#pragma once

#include "core/DataSource.h"
#include "core/ListQuery.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariantList>
#include <list>
#include <optional>
#include <vector>

// A list over a filtered statement that never holds the whole result: rows are read in
// pages on demand and only a bounded number of pages stays in memory, so a register of a
// million records lists as fast and as small as one of a thousand. Where the order ends with
// the key, a page continues from a row of a page in memory, or from the list's end, instead
// of skipping every row before it.
// Columns are addressed by field name without regard to case.
class BackgroundListReader;
class QSqlRecord;
class QThread;

class SqlListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit SqlListModel(QObject *parent = nullptr);
    ~SqlListModel() override;

    // Counts and sums on a connection of their own: the first rows show at once and the rest
    // of the list appears when the count arrives. Without this, counting waits. A statement
    // set with FirstPage::InBackground has its first page read off the window's thread too.
    void setCountInBackground(const DataSource &source);
    // Where a new statement's first page is read: at once, or (a search as it is typed) off
    // the window's thread, the rows shown staying until the new ones arrive and a newer
    // statement voiding the request.
    enum class FirstPage { Here, InBackground };
    // A statement's first page is being read off the window's thread.
    bool isPending() const { return m_requested; }
    // Columns whose sum over the whole list the footer shows. A price listed with its currency
    // column (Money::currencyColumnOf) is summed in 人民币.
    void setSumFields(const QStringList &fields);
    // The count and the sums are known.
    bool isCountKnown() const { return m_countKnown; }
    // The count is known; the sums follow (the count is asked for first, then the sums).
    bool isRowCountKnown() const { return m_rowCountKnown; }
    QVariant sum(const QString &field) const { return m_sums.value(field.toLower()); }
    // The sum of `field` is in 人民币.
    bool isHomeSum(const QString &field) const;
    // The rows that a sum in 人民币 leaves out because their currency has no rate.
    int leftOut(const QString &field) const { return m_leftOut.value(field.toLower()); }

    // `select` is a complete statement without order and limit ("select * from T where …");
    // `orderBy` is empty or "order by …". Returns false when the statement fails (the error
    // is in lastError()); the list is then empty.
    bool setQuery(QSqlDatabase db, const QString &select, const QVariantList &values,
                  const QString &orderBy = {});
    // The same with every part of what the list reads; a first page read in the background
    // is read by a FirstPageReader.
    bool setQuery(QSqlDatabase db, const ListQuery &query, FirstPage firstPage = FirstPage::Here);
    // The key that ends every order (ListQuery::keyColumn).
    void setKeyColumn(const QString &column);
    // Finds the row whose `field` holds `key` and reports it with located(), at once when the
    // row is in memory, else (in the background when counting is) by counting the rows after
    // it in the list's order when `field` is the key, or by numbering the rows. -1: not
    // listed. A newer statement voids the search.
    void locate(const QString &field, qint64 key);
    // Reads the statement again, as it is, for rows written meanwhile.
    bool reload();
    // Rows shown after a jump far into a list ordered by plain columns ending with the key are
    // placed by a guess of the order values at that place until the exact place is counted;
    // the rows then shown are the list's rows at their place (dataChanged).
    bool hasGuessedRows() const { return m_guess.has_value(); }
    // Reads again with another order, keeping the statement.
    bool setOrderBy(const QString &orderBy);
    void clear();

    bool isOpen() const { return m_open; }
    QSqlDatabase database() const { return m_db; }
    QString lastError() const { return m_lastError; }
    // The latest statement, also while its first page is being read.
    QString statement() const { return latest().select; }
    QVariantList values() const { return latest().values; }
    QString orderBy() const { return latest().orderBy; }
    // What the list reads, for work that reads the whole list elsewhere (export).
    const ListQuery &query() const { return latest(); }

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
    // The count of the current statement is known, and again when its sums are.
    void aggregatesReady();
    void located(int row);
    // A statement of the list failed (its first page, a later page, the count); logged too.
    void failed(const QString &error) const;

public:
    static constexpr int kPageSize = 200;
    static constexpr int kCachedPages = 50;
    // Rows a page may skip before a jump is placed by a guess instead.
    static constexpr int kFarRows = 10 * kPageSize;
    // Rows whose order values tell where a far jump into a list ordered by a column lands.
    static constexpr int kSampleRows = 1000;

private:
    using Row = QVariantList;
    using Page = std::vector<Row>;
    // `rowsBefore` rows of the list come before the order values `values` (of a row or not).
    struct Boundary
    {
        QVariantList values;
        int rowsBefore;
    };
    struct Start
    {
        PageStart start;
        bool guessed = false; // from m_guess
    };

    BackgroundListReader *startWorker(const DataSource &source, QThread **thread);
    static void stopWorker(QThread *thread, BackgroundListReader *worker);
    const ListQuery &latest() const { return m_requested ? m_pending : m_query; }
    bool run(const ListQuery &query, FirstPage firstPage = FirstPage::Here);
    void requestFirstPage(const ListQuery &query);
    void applyFirstPage(quint64 generation, const QStringList &fields, const QVariantList &rows,
                        const QString &error);
    void showFirstPage(const ListQuery &query, const QStringList &fields, Page first,
                       const QString &error);
    Start startOf(int page) const;
    std::optional<PageStart> startFrom(const Boundary &boundary, int page) const;
    // Guesses the order values at `page` and asks for their exact place; false when the list
    // allows no guess. Ordered by the key alone, the key is guessed from the list's first and
    // last keys; else from a sample of rows whose keys spread evenly between them.
    bool guessRowAt(int page) const;
    std::optional<QVariantList> guessedOrderValues(int position) const;
    void applyRowPlaced(quint64 generation, const QVariantList &guess, int position,
                        const QVariantList &row);
    QVariantList orderValues(const Row &row) const;
    int scanFor(int field, qint64 key) const;
    QList<SumColumn> sumColumns() const;
    void requestAggregates();
    void requestSums();
    // Runs `sql` over the list (in the background when counting is) for applyAggregates().
    void askAggregate(const QString &sql);
    void applyAggregates(quint64 generation, const QVariantList &results, const QString &error);
    void applyRowsAfter(quint64 generation, int rowsAfter);
    void sumRowsInHand(const Page &rows);
    void forgetRows();
    // The fields of the statement come back in `record` when asked for.
    bool readPage(int page, Page *rows, QString *error, QSqlRecord *record = nullptr) const;
    void logFailure(int page, const QString &error, const QString &select) const;
    const Page *page(int index) const;

    QSqlDatabase m_db;
    ListQuery m_query;
    QStringList m_fields;
    QHash<QString, int> m_fieldByName; // lower-cased
    int m_rowCount = 0;
    bool m_countKnown = false;
    bool m_rowCountKnown = false;
    QStringList m_sumFields;
    QHash<QString, QVariant> m_sums; // lower-cased field → sum
    QHash<QString, int> m_leftOut;   // lower-cased field → rows without a rate
    QThread *m_thread = nullptr;
    BackgroundListReader *m_worker = nullptr;
    QThread *m_pageThread = nullptr;
    BackgroundListReader *m_pageWorker = nullptr;
    ListQuery m_pending; // asked for, its first page not there yet
    bool m_requested = false;
    std::optional<std::pair<QString, qint64>> m_locateWanted; // once the first page is there
    std::optional<int> m_rowsAfter; // of the row being located, counted before the list was
    QList<int> m_orderFields;       // of orderColumns(); empty: pages are read by position
    QList<Boundary> m_boundaries;   // counted
    mutable std::optional<Boundary> m_guess; // guessed, its place being counted
    mutable QSet<int> m_guessedPages;        // read from m_guess
    mutable bool m_guessFailed = false;
    quint64 m_generation = 0;
    bool m_open = false;
    QString m_lastError;
    mutable QHash<int, Page> m_pages;
    mutable std::list<int> m_recent; // most recently used first
};
