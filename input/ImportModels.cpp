#include "input/ImportModels.h"

#include "core/ReadableColor.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>

void SheetTableModel::setSheet(SheetTable sheet)
{
    beginResetModel();
    m_sheet = std::move(sheet);
    endResetModel();
}

int SheetTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_sheet.rows.size());
}

int SheetTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_sheet.headings.size());
}

QVariant SheetTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return m_sheet.rows.at(size_t(index.row())).at(index.column());
}

QVariant SheetTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return m_sheet.headings.value(section);
}

ImportPreviewModel::ImportPreviewModel(const QString &table, QObject *parent)
    : QAbstractTableModel(parent), m_table(table)
{
}

void ImportPreviewModel::setPreview(ImportPreview preview, QHash<QString, qint64> codes,
                                    std::vector<ImportCodes::Fate> fates)
{
    beginResetModel();
    m_preview = std::move(preview);
    m_codes = std::move(codes);
    m_fates = fates.size() == m_preview.rows.size()
                  ? std::move(fates)
                  : ImportCodes::plan(m_preview, m_codes, ImportCodes::Duplicates::Skip);
    endResetModel();
    emit marksChanged();
}

void ImportPreviewModel::mark()
{
    std::vector<ImportCodes::Fate> fates =
        ImportCodes::plan(m_preview, m_codes, ImportCodes::Duplicates::Skip);
    if (fates == m_fates)
        return;
    m_fates = std::move(fates);
    if (rowCount() > 0) {
        emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                         {Qt::BackgroundRole, Qt::ToolTipRole});
    }
    emit marksChanged();
}

int ImportPreviewModel::count(ImportCodes::Fate fate) const
{
    return int(std::count(m_fates.begin(), m_fates.end(), fate));
}

void ImportPreviewModel::clear()
{
    setPreview({});
}

QString ImportPreviewModel::check(int column, const QString &text) const
{
    return checkImportValue(m_table, m_preview.fields.value(column).field, text);
}

void ImportPreviewModel::setColumnOfRows(const QList<int> &rows, int column, const QString &text)
{
    for (const int row : rows)
        m_preview.rows.at(size_t(row))[column] = text;
    if (!rows.isEmpty())
        emit dataChanged(index(0, column), index(rowCount() - 1, column));
    if (column == ImportCodes::codeField(m_preview))
        mark();
}

void ImportPreviewModel::removeRowsAt(QList<int> rows)
{
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // Runs of neighbouring rows go in one step, so deleting thousands stays quick.
    for (qsizetype i = 0; i < rows.size();) {
        qsizetype j = i;
        while (j + 1 < rows.size() && rows.at(j + 1) == rows.at(j) - 1)
            ++j;
        const int first = rows.at(j);
        const int last = rows.at(i);
        beginRemoveRows({}, first, last);
        m_preview.rows.erase(m_preview.rows.begin() + first, m_preview.rows.begin() + last + 1);
        m_preview.sheetRows.erase(m_preview.sheetRows.begin() + first,
                                  m_preview.sheetRows.begin() + last + 1);
        m_fates.erase(m_fates.begin() + first, m_fates.begin() + last + 1);
        endRemoveRows();
        i = j + 1;
    }
    // Deleting the first row of a code makes the next one the first.
    mark();
}

int ImportPreviewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_preview.rows.size());
}

int ImportPreviewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_preview.fields.size());
}

QVariant ImportPreviewModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const ImportCodes::Fate fate = m_fates.at(size_t(index.row()));
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_preview.rows.at(size_t(index.row())).at(index.column());
    case Qt::BackgroundRole:
    case Qt::ForegroundRole: {
        if (fate != ImportCodes::Fate::Existing && fate != ImportCodes::Fate::Repeat)
            return {};
        const QColor fill = ReadableColor::tintOn(
            fate == ImportCodes::Fate::Existing ? QColor(255, 242, 204) : QColor(224, 224, 224),
            QGuiApplication::palette().color(QPalette::Base));
        return role == Qt::BackgroundRole ? fill : ReadableColor::textOn(fill);
    }
    case Qt::ToolTipRole:
        if (fate == ImportCodes::Fate::Existing)
            return QStringLiteral("资料表中已有这个编号");
        if (fate == ImportCodes::Fate::Repeat)
            return QStringLiteral("前面的行已有这个编号，这一行将跳过");
        return {};
    default:
        return {};
    }
}

bool ImportPreviewModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const QString text = value.toString();
    if (role != Qt::EditRole || !index.isValid() || !check(index.column(), text).isEmpty())
        return false;
    m_preview.rows.at(size_t(index.row()))[index.column()] = text;
    emit dataChanged(index, index);
    if (index.column() == ImportCodes::codeField(m_preview))
        mark();
    return true;
}

Qt::ItemFlags ImportPreviewModel::flags(const QModelIndex &index) const
{
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::TextAlignmentRole && orientation == Qt::Horizontal)
        return Qt::AlignCenter;
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical && section >= 0 && size_t(section) < m_fates.size()) {
        switch (m_fates[size_t(section)]) {
        case ImportCodes::Fate::Existing:
            return QStringLiteral("%1 已有").arg(section + 1);
        case ImportCodes::Fate::Repeat:
            return QStringLiteral("%1 重复").arg(section + 1);
        default:
            return section + 1;
        }
    }
    if (orientation == Qt::Vertical)
        return section + 1;
    return m_preview.fields.value(section).caption;
}
