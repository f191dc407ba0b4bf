#include "core/SqlListModel.h"

#include "core/BackgroundListReader.h"
#include "core/Money.h"
#include "core/SqlDialect.h"

#include <QThread>
#include <algorithm>

#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

SqlListModel::SqlListModel(QObject *parent) : QAbstractTableModel(parent) {}

SqlListModel::~SqlListModel()
{
    stopWorker(m_thread, m_worker);
    stopWorker(m_pageThread, m_pageWorker);
}

BackgroundListReader *SqlListModel::startWorker(const DataSource &source, QThread **thread)
{
    *thread = new QThread(this);
    auto *worker = new BackgroundListReader(source);
    worker->moveToThread(*thread);
    (*thread)->start();
    return worker;
}

void SqlListModel::stopWorker(QThread *thread, BackgroundListReader *worker)
{
    if (!thread)
        return;
    worker->abandonBefore(~quint64(0));
    // The worker's connection belongs to its thread: close it there.
    QMetaObject::invokeMethod(
        worker, [worker] { delete worker; }, Qt::BlockingQueuedConnection);
    thread->quit();
    thread->wait();
}

void SqlListModel::setCountInBackground(const DataSource &source)
{
    if (m_thread)
        return;
    m_worker = startWorker(source, &m_thread);
    connect(m_worker, &BackgroundListReader::aggregated, this, &SqlListModel::applyAggregates);
    connect(m_worker, &BackgroundListReader::located, this, [this](quint64 generation, int row) {
        if (generation == m_generation)
            emit located(row);
    });
    // A keystroke's first page may need a scan of the whole table (a one-character term, or a
    // rare one), and a server may answer slowly while busy.
    m_pageWorker = startWorker(source, &m_pageThread);
    connect(m_pageWorker, &BackgroundListReader::firstPageRead, this,
            &SqlListModel::applyFirstPage);
    connect(m_pageWorker, &BackgroundListReader::rowsAfterCounted, this,
            &SqlListModel::applyRowsAfter);
    connect(m_pageWorker, &BackgroundListReader::rowPlaced, this, &SqlListModel::applyRowPlaced);
}

void SqlListModel::setSumFields(const QStringList &fields)
{
    if (fields == m_sumFields)
        return;
    m_sumFields = fields;
    if (m_open && m_rowCountKnown) {
        m_countKnown = false;
        requestSums();
    }
}

bool SqlListModel::setQuery(QSqlDatabase db, const QString &select, const QVariantList &values,
                            const QString &orderBy)
{
    ListQuery next = latest();
    next.select = select;
    next.values = values;
    next.orderBy = orderBy;
    next.plainScan = {};
    return setQuery(std::move(db), next);
}

bool SqlListModel::setQuery(QSqlDatabase db, const ListQuery &query, FirstPage firstPage)
{
    m_db = std::move(db);
    return run(query, firstPage);
}

void SqlListModel::setKeyColumn(const QString &column)
{
    m_query.keyColumn = column;
    m_pending.keyColumn = column;
}

bool SqlListModel::setOrderBy(const QString &orderBy)
{
    if (latest().isEmpty())
        return false;
    ListQuery next = latest();
    next.orderBy = orderBy;
    return run(next);
}

bool SqlListModel::reload()
{
    return !latest().isEmpty() && run(latest());
}

void SqlListModel::clear()
{
    beginResetModel();
    m_query.select.clear();
    m_query.values.clear();
    m_query.orderBy.clear();
    forgetRows();
    endResetModel();
}

void SqlListModel::forgetRows()
{
    ++m_generation;
    if (m_worker)
        m_worker->abandonBefore(m_generation);
    if (m_pageWorker)
        m_pageWorker->abandonBefore(m_generation);
    m_requested = false;
    m_locateWanted.reset();
    m_rowsAfter.reset();
    m_orderFields.clear();
    m_boundaries.clear();
    m_guess.reset();
    m_guessedPages.clear();
    m_guessFailed = false;
    m_pages.clear();
    m_recent.clear();
    m_fields.clear();
    m_fieldByName.clear();
    m_rowCount = 0;
    m_open = false;
    m_countKnown = false;
    m_rowCountKnown = false;
    m_sums.clear();
    m_leftOut.clear();
    m_lastError.clear();
}

bool SqlListModel::run(const ListQuery &query, FirstPage firstPage)
{
    if (m_pageWorker && firstPage == FirstPage::InBackground) {
        requestFirstPage(query);
        return true;
    }
    m_query = query;
    Page first;
    QSqlRecord record;
    QString error;
    if (!readPage(0, &first, &error, &record)) {
        showFirstPage(query, {}, {}, error);
        return false;
    }
    QStringList fields;
    for (int i = 0; i < record.count(); ++i)
        fields << record.fieldName(i);
    showFirstPage(query, fields, std::move(first), {});
    return true;
}

void SqlListModel::requestFirstPage(const ListQuery &query)
{
    ++m_generation;
    m_pageWorker->abandonBefore(m_generation);
    m_worker->abandonBefore(m_generation);
    m_pending = query;
    m_requested = true;
    m_countKnown = false;
    m_rowCountKnown = false;
    m_pageWorker->readFirstPage(m_generation, query, SqlDialect::of(m_db), kPageSize);
}

void SqlListModel::applyFirstPage(quint64 generation, const QStringList &fields,
                                  const QVariantList &rows, const QString &error)
{
    if (generation != m_generation || !m_requested)
        return;
    Page first;
    first.reserve(size_t(rows.size()));
    for (const QVariant &row : rows)
        first.push_back(row.toList());
    if (!error.isEmpty())
        logFailure(0, error, m_pending.select);
    showFirstPage(m_pending, fields, std::move(first), error);
}

void SqlListModel::showFirstPage(const ListQuery &query, const QStringList &fields, Page first,
                                 const QString &error)
{
    const std::optional<std::pair<QString, qint64>> wanted = std::exchange(m_locateWanted, {});
    beginResetModel();
    forgetRows();
    m_query = query;
    if (!error.isEmpty()) {
        m_lastError = error;
        endResetModel();
        emit aggregatesReady();
        if (wanted)
            emit located(-1);
        return;
    }
    for (int i = 0; i < fields.size(); ++i) {
        m_fields << fields.at(i);
        m_fieldByName.insert(fields.at(i).toLower(), i);
    }
    for (const OrderColumn &c : m_query.orderColumns()) {
        const int index = fieldIndex(c.column);
        if (index < 0) {
            m_orderFields.clear();
            break;
        }
        m_orderFields << index;
    }
    m_open = true;
    m_rowCount = int(first.size());
    const bool complete = m_rowCount < kPageSize;
    if (complete)
        sumRowsInHand(first);
    m_pages.insert(0, std::move(first));
    m_recent.push_front(0);
    endResetModel();
    if (complete)
        emit aggregatesReady();
    else
        requestAggregates();
    if (wanted)
        locate(wanted->first, wanted->second);
}

void SqlListModel::sumRowsInHand(const Page &rows)
{
    m_sums.clear();
    m_leftOut.clear();
    std::optional<Money::Rates> rates;
    for (const SumColumn &s : sumColumns()) {
        const int index = fieldIndex(s.column);
        const int currency = fieldIndex(s.currency);
        if (currency >= 0 && !rates) {
            rates.emplace();
            QString error;
            if (!rates->read(m_db, &error))
                qWarning().noquote() << "Currency rates not read:" << error;
        }
        double total = 0;
        int leftOut = 0;
        for (const Row &row : rows) {
            const double v = row.at(index).toDouble();
            if (currency < 0)
                total += v;
            else if (const std::optional<double> home =
                         rates->toHome(v, row.at(currency).toString()))
                total += *home;
            else if (v != 0)
                ++leftOut;
        }
        m_sums.insert(s.column.toLower(), total);
        if (currency >= 0)
            m_leftOut.insert(s.column.toLower(), leftOut);
    }
    m_countKnown = true;
    m_rowCountKnown = true;
}

bool SqlListModel::isHomeSum(const QString &field) const
{
    return fieldIndex(Money::currencyColumnOf(field)) >= 0;
}

QList<SumColumn> SqlListModel::sumColumns() const
{
    QList<SumColumn> columns;
    for (const QString &field : m_sumFields) {
        const int index = fieldIndex(field);
        if (index < 0)
            continue;
        const int currency = fieldIndex(Money::currencyColumnOf(field));
        columns << SumColumn{m_fields.at(index), currency < 0 ? QString() : m_fields.at(currency)};
    }
    return columns;
}

void SqlListModel::requestAggregates()
{
    // The count alone first: it is shown, and the list grows, before the sums are read.
    if (m_worker)
        m_worker->abandonBefore(m_generation);
    askAggregate(m_query.aggregateSql());
}

void SqlListModel::requestSums()
{
    askAggregate(m_query.sumsSql(sumColumns()));
}

void SqlListModel::askAggregate(const QString &sql)
{
    const quint64 generation = m_generation;
    if (m_worker) {
        m_worker->aggregate(generation, sql, m_query.values);
        return;
    }
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    bool ok = q.prepare(sql);
    if (ok) {
        for (const QVariant &v : std::as_const(m_query.values))
            q.addBindValue(v);
        ok = q.exec() && q.next();
    }
    QVariantList results;
    for (int i = 0; ok && i < q.record().count(); ++i)
        results << q.value(i);
    applyAggregates(generation, results, ok ? QString() : q.lastError().text());
}

void SqlListModel::applyAggregates(quint64 generation, const QVariantList &results,
                                   const QString &error)
{
    if (generation != m_generation || !m_open)
        return;
    if (!error.isEmpty() || results.isEmpty()) {
        m_lastError = error;
        if (!error.isEmpty()) {
            qWarning().noquote() << "List count failed:" << error << "--" << m_query.select;
            emit failed(error);
        }
        m_rowCountKnown = true;
        m_countKnown = true;
        emit aggregatesReady();
        if (std::exchange(m_rowsAfter, {}))
            emit located(-1);
        return;
    }
    if (m_rowCountKnown) {
        m_sums.clear();
        m_leftOut.clear();
        int column = 0;
        for (const SumColumn &s : sumColumns()) {
            const QString field = s.column.toLower();
            m_sums.insert(field, results.value(column++));
            if (!s.currency.isEmpty())
                m_leftOut.insert(field, results.value(column++).toInt());
        }
        m_countKnown = true;
        emit aggregatesReady();
        return;
    }
    const int count = results.first().toInt();
    if (count > m_rowCount) {
        beginInsertRows({}, m_rowCount, count - 1);
        m_rowCount = count;
        endInsertRows();
    } else if (count < m_rowCount) {
        beginRemoveRows({}, count, m_rowCount - 1);
        m_rowCount = count;
        endRemoveRows();
    }
    m_rowCountKnown = true;
    const bool sums = !sumColumns().isEmpty();
    m_countKnown = !sums;
    m_sums.clear();
    m_leftOut.clear();
    emit aggregatesReady();
    if (const std::optional<int> after = std::exchange(m_rowsAfter, {}))
        emit located(m_rowCount - 1 - *after);
    if (sums && generation == m_generation)
        requestSums();
}

void SqlListModel::locate(const QString &field, qint64 key)
{
    if (m_requested) {
        m_locateWanted = std::make_pair(field, key);
        return;
    }
    const int index = fieldIndex(field);
    if (!m_open || index < 0) {
        emit located(-1);
        return;
    }
    for (auto page = m_pages.cbegin(); page != m_pages.cend(); ++page) {
        if (m_guessedPages.contains(page.key()))
            continue;
        for (size_t i = 0; i < page->size(); ++i) {
            if ((*page)[i].at(index).toLongLong() == key) {
                emit located(page.key() * kPageSize + int(i));
                return;
            }
        }
    }
    if (m_rowCount < kPageSize && m_countKnown) {
        emit located(-1);
        return;
    }
    // Where the order is plain columns ending with the key, the rows after the wanted one are
    // counted through the order's index: a saved record is mostly the list's last row.
    const bool byOrder =
        !m_orderFields.isEmpty() && field.compare(m_query.keyColumn, Qt::CaseInsensitive) == 0;
    if (byOrder && m_pageWorker) {
        // Beside the count, which is running on the other connection.
        m_pageWorker->countRowsAfter(m_generation, m_query, SqlDialect::of(m_db), key);
        return;
    }
    if (byOrder) {
        applyRowsAfter(m_generation,
                       BackgroundListReader::rowsAfter(m_db, m_query, SqlDialect::of(m_db), key));
        return;
    }
    if (!m_worker || m_query.keyColumn.isEmpty()) {
        emit located(scanFor(index, key));
        return;
    }
    const QString sql =
        QStringLiteral("select located_row from (select %1 as located_key, "
                       "row_number() over (%2) as located_row from (%3) listed) "
                       "numbered where located_key = ?")
            .arg(m_fields.at(index), m_query.orderClause().trimmed(), m_query.select);
    m_worker->locate(m_generation, sql, m_query.values, key);
}

void SqlListModel::applyRowsAfter(quint64 generation, int rowsAfter)
{
    if (generation != m_generation)
        return;
    if (rowsAfter >= 0 && !m_rowCountKnown) {
        m_rowsAfter = rowsAfter; // placed when the count arrives
        return;
    }
    emit located(rowsAfter < 0 ? -1 : m_rowCount - 1 - rowsAfter);
}

int SqlListModel::scanFor(int field, qint64 key) const
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.prepare(m_query.pagedSql()))
        return -1;
    for (const QVariant &v : m_query.unlimitedValues(SqlDialect::of(m_db)))
        q.addBindValue(v);
    if (!q.exec())
        return -1;
    for (int row = 0; q.next(); ++row) {
        if (q.value(field).toLongLong() == key)
            return row;
    }
    return -1;
}

SqlListModel::Start SqlListModel::startOf(int page) const
{
    PageStart best{{}, false, page * kPageSize};
    if (page == 0 || m_orderFields.isEmpty())
        return {best};
    // Whichever start skips the fewest rows: the list's first or last row, a row of a page in
    // memory before or after this one, or a counted key.
    const auto consider = [&best](PageStart start) {
        if (start.skip < best.skip)
            best = std::move(start);
    };
    if (m_rowCountKnown)
        consider({{}, true, m_rowCount - qMin((page + 1) * kPageSize, m_rowCount)});
    for (auto it = m_pages.cbegin(); it != m_pages.cend(); ++it) {
        if (m_guessedPages.contains(it.key()))
            continue;
        if (it.key() < page && int(it->size()) == kPageSize)
            consider({orderValues(it->back()), false, (page - it.key() - 1) * kPageSize});
        else if (it.key() > page && !it->empty())
            consider({orderValues(it->front()), true, (it.key() - page - 1) * kPageSize});
    }
    for (const Boundary &boundary : m_boundaries) {
        if (const std::optional<PageStart> start = startFrom(boundary, page))
            consider(*start);
    }
    if (best.skip <= kFarRows)
        return {best};
    // Far from every row whose place is known: a guessed key shows rows near the place at
    // once, instead of skipping every row before it.
    std::optional<PageStart> guessed = m_guess ? startFrom(*m_guess, page) : std::nullopt;
    if ((!guessed || guessed->skip > kFarRows) && guessRowAt(page))
        guessed = startFrom(*m_guess, page);
    if (guessed && guessed->skip < best.skip)
        return {*guessed, true};
    return {best};
}

std::optional<PageStart> SqlListModel::startFrom(const Boundary &boundary, int page) const
{
    const int first = page * kPageSize;
    const int last = qMin(first + kPageSize, m_rowCount) - 1;
    // Boundaries lie between rows, so a page is wholly on one side of one.
    if (first >= boundary.rowsBefore)
        return PageStart{boundary.values, false, first - boundary.rowsBefore, true};
    if (last < boundary.rowsBefore)
        return PageStart{boundary.values, true, boundary.rowsBefore - 1 - last};
    return std::nullopt;
}

bool SqlListModel::guessRowAt(int page) const
{
    if (m_guessFailed || !m_pageWorker || !m_rowCountKnown || m_orderFields.isEmpty() ||
        m_rowCount < 2)
        return false;
    const int position = page * kPageSize;
    const std::optional<QVariantList> values = guessedOrderValues(position);
    if (!values) {
        m_guessFailed = true;
        return false;
    }
    for (const int guessed : std::exchange(m_guessedPages, {})) {
        m_pages.remove(guessed);
        m_recent.remove(guessed);
    }
    m_guess = Boundary{*values, position};
    m_pageWorker->placeRow(m_generation, m_query, SqlDialect::of(m_db), *values, position,
                           m_rowCount);
    return true;
}

std::optional<QVariantList> SqlListModel::guessedOrderValues(int position) const
{
    const auto open = [this](QSqlQuery &q, const PageStatement &statement) {
        q.setForwardOnly(true);
        if (!q.prepare(statement.sql))
            return false;
        for (const QVariant &v : statement.values)
            q.addBindValue(v);
        return q.exec();
    };
    const auto keyAtEnd = [&](bool last) -> std::optional<qint64> {
        QSqlQuery q(m_db);
        bool integer = false;
        const qint64 key =
            open(q, m_query.keyAtEnd(last)) && q.next() ? q.value(0).toLongLong(&integer) : 0;
        return integer ? std::optional<qint64>(key) : std::nullopt;
    };
    const std::optional<qint64> first = keyAtEnd(false);
    const std::optional<qint64> last = keyAtEnd(true);
    if (!first || !last)
        return std::nullopt;
    const double share = double(position) / (m_rowCount - 1);
    // Keys spread evenly over the list, as a register's are where few rows were deleted.
    if (m_orderFields.size() == 1)
        return QVariantList{*first + qint64(double(*last - *first) * share)};
    // Ordered by a column: the rows of keys spread evenly are a sample of its values, which the
    // database puts in the list's order.
    QList<qint64> keys;
    const qint64 span = *last - *first;
    for (int i = 0; i < kSampleRows; ++i) {
        const qint64 key = *first + qint64(double(span) * (i + 0.5) / kSampleRows);
        if (keys.isEmpty() || keys.last() != key)
            keys << key;
    }
    QSqlQuery q(m_db);
    if (!open(q, m_query.orderValuesAmong(keys)))
        return std::nullopt;
    std::vector<QVariantList> sample;
    const int columns = int(m_orderFields.size());
    while (q.next()) {
        QVariantList values;
        for (int c = 0; c < columns; ++c)
            values << q.value(c);
        sample.push_back(std::move(values));
    }
    if (sample.empty())
        return std::nullopt;
    return sample[qMin(sample.size() - 1, size_t(share * double(sample.size())))];
}

void SqlListModel::applyRowPlaced(quint64 generation, const QVariantList &guess, int position,
                                  const QVariantList &row)
{
    if (generation != m_generation || !m_guess || m_guess->values != guess ||
        m_guess->rowsBefore != position)
        return;
    m_guess.reset();
    const QSet<int> guessed = std::exchange(m_guessedPages, {});
    if (row.isEmpty())
        m_guessFailed = true;
    else
        m_boundaries << Boundary{row, position};
    if (row == guess)
        return; // the guess was right: the rows shown are at their place
    int first = m_rowCount;
    int last = -1;
    for (const int page : guessed) {
        m_pages.remove(page);
        m_recent.remove(page);
        first = qMin(first, page * kPageSize);
        last = qMax(last, qMin((page + 1) * kPageSize, m_rowCount) - 1);
    }
    if (last >= first)
        emit dataChanged(index(first, 0), index(last, int(m_fields.size()) - 1));
}

QVariantList SqlListModel::orderValues(const Row &row) const
{
    QVariantList values;
    for (const int index : m_orderFields)
        values << row.at(index);
    return values;
}

bool SqlListModel::readPage(int page, Page *rows, QString *error, QSqlRecord *record) const
{
    const auto [start, guessed] = startOf(page);
    if (guessed)
        m_guessedPages.insert(page);
    const int limit =
        start.reversed ? qMin((page + 1) * kPageSize, m_rowCount) - page * kPageSize : kPageSize;
    const PageStatement statement = m_query.page(start, limit, SqlDialect::of(m_db));
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    bool ok = q.prepare(statement.sql);
    if (ok) {
        for (const QVariant &v : statement.values)
            q.addBindValue(v);
        ok = q.exec();
    }
    if (!ok) {
        *error = q.lastError().text();
        logFailure(page, *error, m_query.select);
        return false;
    }
    if (record)
        *record = q.record();
    const int columns = q.record().count();
    while (q.next()) {
        Row row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i)
            row << q.value(i);
        rows->push_back(std::move(row));
    }
    if (q.lastError().isValid()) {
        *error = q.lastError().text();
        logFailure(page, *error, m_query.select);
        return false;
    }
    if (start.reversed)
        std::reverse(rows->begin(), rows->end());
    return true;
}

void SqlListModel::logFailure(int page, const QString &error, const QString &select) const
{
    qWarning().noquote() << "List page" << page << "failed:" << error << "--" << select;
    emit failed(error);
}

const SqlListModel::Page *SqlListModel::page(int index) const
{
    auto found = m_pages.find(index);
    if (found != m_pages.end()) {
        if (m_recent.front() != index) {
            m_recent.remove(index);
            m_recent.push_front(index);
        }
        return &found.value();
    }
    Page rows;
    QString error;
    // A page that cannot be read stays empty: told once, not read again at every paint.
    readPage(index, &rows, &error);
    if (int(m_recent.size()) >= kCachedPages) {
        m_pages.remove(m_recent.back());
        m_guessedPages.remove(m_recent.back());
        m_recent.pop_back();
    }
    m_recent.push_front(index);
    return &m_pages.insert(index, std::move(rows)).value();
}

int SqlListModel::fieldIndex(const QString &field) const
{
    return m_fieldByName.value(field.toLower(), -1);
}

QVariant SqlListModel::value(int row, int field) const
{
    if (row < 0 || row >= m_rowCount || field < 0 || field >= m_fields.size())
        return {};
    const Page *rows = page(row / kPageSize);
    const int inPage = row % kPageSize;
    if (!rows || inPage >= int(rows->size()))
        return {};
    return (*rows)[inPage].at(field);
}

QVariant SqlListModel::value(int row, const QString &field) const
{
    return value(row, fieldIndex(field));
}

int SqlListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int SqlListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_fields.size());
}

QVariant SqlListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return value(index.row(), index.column());
}

QVariant SqlListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_fields.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
