#include "spreadsheet/SheetTable.h"

#include "spreadsheet/WorkbookReader.h"

namespace {

// A row's list and its bookkeeping, and one cell slot, as the finished table holds them.
constexpr qint64 kRowCost = 64;
constexpr qint64 kSlotCost = 24;

} // namespace

SheetCollector::SheetCollector(qint64 budget) : m_budget(budget) {}

bool SheetCollector::fail(const QString &reason)
{
    if (m_failure.isEmpty())
        m_failure = reason;
    return false;
}

bool SheetCollector::charge(qint64 bytes)
{
    m_textBytes += bytes;
    if (qint64(m_rows.size()) * (kRowCost + m_columns * kSlotCost) + m_textBytes > m_budget)
        return fail(WorkbookReasons::kTooLarge.arg(m_budget >> 20));
    return true;
}

bool SheetCollector::setCell(int row, int column, QString text)
{
    if (row < 0 || column < 0 || row >= WorkbookLimits::kMaxRows ||
        column >= WorkbookLimits::kMaxColumns)
        return fail(WorkbookReasons::kBeyondLimits);
    if (text.size() > WorkbookLimits::kMaxCellChars)
        return fail(WorkbookReasons::kCellTooLong.arg(row + 1).arg(column + 1));
    if (text.isEmpty())
        return true;
    const qint64 rows = std::max<qint64>(qint64(m_rows.size()), row + 1);
    const qint64 columns = std::max<qint64>(m_columns, column + 1);
    const qint64 cost = textCost(text.size());
    if (rows * (kRowCost + columns * kSlotCost) + m_textBytes + cost > m_budget)
        return fail(WorkbookReasons::kTooLarge.arg(m_budget >> 20));
    m_textBytes += cost;
    if (m_rows.size() <= size_t(row))
        m_rows.resize(size_t(row) + 1);
    QStringList &cells = m_rows[size_t(row)];
    if (cells.size() <= column)
        cells.resize(column + 1);
    cells[column] = std::move(text);
    m_columns = std::max(m_columns, cells.size());
    return true;
}

void SheetCollector::addNote(const QString &note)
{
    if (!m_notes.contains(note))
        m_notes << note;
}

SheetTable SheetCollector::finish()
{
    SheetTable table;
    table.notes = std::move(m_notes);
    if (m_rows.empty())
        return table;
    table.headings = std::move(m_rows.front());
    table.headings.resize(m_columns);
    for (qsizetype c = 0; c < m_columns; ++c) {
        if (table.headings.at(c).trimmed().isEmpty())
            table.headings[c] = u'F' + QString::number(c + 1);
    }
    table.rows.reserve(m_rows.size() - 1);
    for (size_t r = 1; r < m_rows.size(); ++r) {
        m_rows[r].resize(m_columns);
        table.rows.push_back(std::move(m_rows[r]));
    }
    m_rows.clear();
    m_columns = 0;
    m_textBytes = 0;
    return table;
}
