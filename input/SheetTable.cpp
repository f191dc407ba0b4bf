#include "input/SheetTable.h"

void SheetCollector::setCell(int row, int column, QString text)
{
    if (text.isEmpty() || row < 0 || column < 0)
        return;
    if (m_rows.size() <= size_t(row))
        m_rows.resize(size_t(row) + 1);
    QStringList &cells = m_rows[size_t(row)];
    if (cells.size() <= column)
        cells.resize(column + 1);
    cells[column] = std::move(text);
    m_columns = std::max(m_columns, cells.size());
}

SheetTable SheetCollector::finish()
{
    SheetTable table;
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
    return table;
}
