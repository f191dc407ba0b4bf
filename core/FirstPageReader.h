#pragma once

#include "core/ListQuery.h"
#include "core/SqlDialect.h"

#include <QStringList>
#include <QVariantList>
#include <functional>

// Reads the first page of a list as a search is typed, choosing per term how, and always
// giving the rows of the list's own statement. A term that many rows hold fills a page within
// the table's first keys, walked in key order without the search indexes' conditions, where a
// server would gather and sort every match first; a term that few rows hold is found at once
// through the index, where the walk would read the whole window for nothing. The walk goes
// in stretches, each on to the next only while its own rate of matches promises a page within
// the window.
class FirstPageReader
{
public:
    enum class Way {
        Statement, // the list's statement alone (no walk along the key for this list)
        Walked,    // the page was found within the first keys
        Sampled,   // a stretch of the walk told that the index finds the term quicker
        Fallen,    // the walk over the window fell short of a page: the statement then
    };

    // Runs `statement` and hands back its rows, each a QVariantList; false when it failed
    // (`error` says why) or the read was voided (no error).
    using Run = std::function<bool(const PageStatement &statement, QStringList *fields,
                                   QVariantList *rows, QString *error)>;

    // `query` is ordered by its key alone to have a walk along the key (ListQuery::plainScan).
    FirstPageReader(ListQuery query, const SqlDialect &dialect, int limit);

    // The first `limit` rows of the list. False when a statement failed or the read was voided.
    bool read(const Run &run, QStringList *fields, QVariantList *rows, QString *error);
    // How the latest read went.
    Way way() const { return m_way; }

    // The keys walked first, to judge how often the term occurs: about a millisecond's walk.
    static constexpr int kSampleKeys = 1000;
    // The most keys walked before the statement runs.
    static constexpr int kWindowKeys = 20000;

private:
    // Up to `limit` rows whose key is at least `from` and less than `to` past the first key.
    PageStatement keysBetween(int from, int to, int limit) const;

    ListQuery m_query;
    SqlDialect m_dialect;
    int m_limit;
    Way m_way = Way::Statement;
};
