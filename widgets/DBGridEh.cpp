#include "widgets/DBGridEh.h"

#include "core/DisplayFormat.h"
#include "core/Money.h"
#include "core/ReadableColor.h"
#include "core/RecordList.h"
#include "core/SqlListModel.h"

#include <QAbstractTableModel>
#include <QGuiApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

// Presents the grid's columns over the source's fields, formatted for display.
class GridModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    SqlListModel *source = nullptr;
    QList<GridColumn> columns; // logical order
    QList<int> sourceFields;
    QString disabledField;

    void mapFields()
    {
        sourceFields.clear();
        for (const GridColumn &c : std::as_const(columns))
            sourceFields << (source ? source->fieldIndex(c.field) : -1);
    }

    void beginSourceReset() { beginResetModel(); }
    void endSourceReset()
    {
        mapFields();
        endResetModel();
    }

    // The source grows (or shrinks) when its count arrives.
    void beginSourceInsert(int first, int last) { beginInsertRows({}, first, last); }
    void endSourceInsert() { endInsertRows(); }
    void beginSourceRemove(int first, int last) { beginRemoveRows({}, first, last); }
    void endSourceRemove() { endRemoveRows(); }

    void reset(const std::function<void()> &change)
    {
        beginResetModel();
        change();
        mapFields();
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() || !source ? 0 : source->rowCount();
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(columns.size());
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!source || !index.isValid())
            return {};
        const GridColumn &column = columns.at(index.column());
        switch (role) {
        case Qt::DisplayRole:
            return DisplayFormat::format(
                source->value(index.row(), sourceFields.at(index.column())), column.displayFormat);
        case Qt::TextAlignmentRole:
            return int(alignmentOf(column.alignment) | Qt::AlignVCenter);
        case Qt::ForegroundRole:
            if (isDisabled(index.row()))
                return ReadableColor::readableOn(
                    Qt::red, QGuiApplication::palette().color(QPalette::Button));
            return {};
        case Qt::BackgroundRole:
            if (isDisabled(index.row()))
                return QGuiApplication::palette().button();
            return {};
        default:
            return {};
        }
    }

    bool isDisabled(int row) const
    {
        return !disabledField.isEmpty() && source->value(row, disabledField).toBool();
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section >= columns.size())
            return {};
        if (role == Qt::DisplayRole)
            return columns.at(section).caption;
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignCenter);
        return {};
    }

    static Qt::Alignment alignmentOf(int code)
    {
        switch (code) {
        case GridColumn::Centre:
            return Qt::AlignHCenter;
        case GridColumn::Right:
            return Qt::AlignRight;
        default:
            return Qt::AlignLeft;
        }
    }
};

// The footer row, kept aligned with the columns as they are resized, moved and scrolled.
class GridFooter : public QWidget
{
public:
    explicit GridFooter(DBGridEh *grid) : QWidget(grid), m_grid(grid)
    {
        setFixedHeight(fontMetrics().height() + 8);
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != QEvent::ToolTip)
            return QWidget::event(event);
        const QPoint at = static_cast<QHelpEvent *>(event)->pos();
        const int logical = m_grid->m_view->horizontalHeader()->logicalIndexAt(
            at.x() - m_grid->m_view->verticalHeader()->width() - m_grid->m_view->frameWidth());
        const QString tip =
            logical < 0
                ? QString()
                : m_grid->footerToolTip(m_grid->m_view->horizontalHeader()->visualIndex(logical));
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), tip, this);
        return true;
    }

    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().button());
        QHeaderView *header = m_grid->m_view->horizontalHeader();
        const int offset = m_grid->m_view->verticalHeader()->width() + m_grid->m_view->frameWidth();
        const auto &columns = m_grid->m_model->columns;
        p.setPen(palette().mid().color());
        for (int logical = 0; logical < columns.size(); ++logical) {
            if (header->isSectionHidden(logical))
                continue;
            const QRect cell(offset + header->sectionViewportPosition(logical), 0,
                             header->sectionSize(logical), height() - 1);
            p.setPen(palette().mid().color());
            p.drawRect(cell);
            p.setPen(palette().buttonText().color());
            p.drawText(cell.adjusted(4, 0, -4, 0),
                       int(GridModel::alignmentOf(columns[logical].alignment) | Qt::AlignVCenter),
                       m_grid->footerText(header->visualIndex(logical)));
        }
    }

private:
    DBGridEh *m_grid;
};

DBGridEh::DBGridEh(QWidget *parent) : QWidget(parent)
{
    m_model = new GridModel(this);
    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("view"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setAlternatingRowColors(true);
    m_view->setWordWrap(false);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setFixedWidth(14);
    QHeaderView *header = m_view->horizontalHeader();
    header->setSectionsMovable(true);
    header->setHighlightSections(false);
    header->setSortIndicatorShown(false);
    header->setDefaultAlignment(Qt::AlignCenter);

    m_footer = new GridFooter(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_footer);

    auto repaintFooter = [this] { m_footer->update(); };
    connect(header, &QHeaderView::sectionResized, this, repaintFooter);
    connect(header, &QHeaderView::sectionMoved, this, repaintFooter);
    connect(m_view->horizontalScrollBar(), &QScrollBar::valueChanged, this, repaintFooter);
    connect(header, &QHeaderView::sectionClicked, this, [this](int logical) {
        if (!m_source || !m_source->isOpen())
            return;
        if (m_sortOnTitleClick)
            sortByTitle(m_model->columns.at(logical).field);
    });
    connect(m_view, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { emit rowDoubleClicked(index.row()); });
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { emit currentRowChanged(current.row()); });
}

void DBGridEh::setList(RecordList *list)
{
    m_list = list;
    m_source = list->model();
    m_model->reset([&] { m_model->source = m_source; });
    refreshSums();
    connect(m_source, &SqlListModel::aggregatesReady, this, &DBGridEh::refreshSums);
    // While the rows change the grid's own model is not ready; it follows the list afterwards.
    const auto changed = [this] {
        m_sourceChanging = false;
        followList();
    };
    connect(m_source, &QAbstractItemModel::rowsAboutToBeInserted, this,
            [this](const QModelIndex &, int first, int last) {
                m_sourceChanging = true;
                m_model->beginSourceInsert(first, last);
            });
    connect(m_source, &QAbstractItemModel::rowsInserted, this, [this, changed] {
        m_model->endSourceInsert();
        changed();
    });
    connect(m_source, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex &, int first, int last) {
                m_sourceChanging = true;
                m_model->beginSourceRemove(first, last);
            });
    connect(m_source, &QAbstractItemModel::rowsRemoved, this, [this, changed] {
        m_model->endSourceRemove();
        changed();
    });
    connect(m_source, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        m_sourceChanging = true;
        m_model->beginSourceReset();
    });
    connect(m_source, &QAbstractItemModel::modelReset, this, [this, changed] {
        m_model->endSourceReset();
        changed();
    });
    connect(this, &DBGridEh::currentRowChanged, list, &RecordList::setCurrentRow);
    connect(list, &RecordList::currentRowChanged, this, [this] {
        if (!m_sourceChanging)
            followList();
    });
}

void DBGridEh::followList()
{
    const int row = m_list->currentRow();
    if (row >= 0 && row != currentRow())
        setCurrentRow(row);
}

QList<int> DBGridEh::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_view->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void DBGridEh::setColumns(const QList<GridColumn> &columns)
{
    QHeaderView *header = m_view->horizontalHeader();
    m_model->reset([&] { m_model->columns = columns; });
    // A reset keeps moved sections: put every column back in its logical place first.
    for (int logical = 0; logical < columns.size(); ++logical) {
        const int visual = header->visualIndex(logical);
        if (visual != logical)
            header->moveSection(visual, logical);
        header->resizeSection(logical, columns[logical].width);
        header->setSectionHidden(logical, !columns[logical].visible);
    }
    refreshSums();
}

QList<GridColumn> DBGridEh::columns() const
{
    QHeaderView *header = m_view->horizontalHeader();
    QList<GridColumn> ordered;
    for (int visual = 0; visual < m_model->columns.size(); ++visual) {
        const int logical = header->logicalIndex(visual);
        GridColumn column = m_model->columns.at(logical);
        column.visible = !header->isSectionHidden(logical);
        if (column.visible)
            column.width = header->sectionSize(logical);
        ordered << column;
    }
    return ordered;
}

void DBGridEh::setColumnVisible(int displayIndex, bool visible)
{
    QHeaderView *header = m_view->horizontalHeader();
    const int logical = header->logicalIndex(displayIndex);
    header->setSectionHidden(logical, !visible);
    if (visible && header->sectionSize(logical) == 0)
        header->resizeSection(logical, m_model->columns.at(logical).width);
    m_footer->update();
}

void DBGridEh::moveColumn(int fromDisplayIndex, int toDisplayIndex)
{
    m_view->horizontalHeader()->moveSection(fromDisplayIndex, toDisplayIndex);
}

void DBGridEh::setDisabledFlagField(const QString &field)
{
    m_model->reset([&] { m_model->disabledField = field; });
}

int DBGridEh::currentRow() const
{
    return m_view->currentIndex().row();
}

void DBGridEh::setCurrentRow(int row)
{
    const int column = qMax(0, m_view->horizontalHeader()->logicalIndex(0));
    m_view->setCurrentIndex(m_model->index(row, column));
}

void DBGridEh::setSortOnTitleClick(bool keepMemoOrder)
{
    m_sortOnTitleClick = true;
    m_keepMemoOrder = keepMemoOrder;
}

void DBGridEh::sortByTitle(const QString &field)
{
    // A list that has not been read yet has nothing to sort.
    if (!m_source->isOpen())
        return;
    const SortText::TitleSort sort = SortText::titleClick(field, marker(field), m_keepMemoOrder);
    setMarker(field, sort.marker);
    if (!sort.sortText.isEmpty())
        m_source->setOrderBy(SortText::orderBy(sort.sortText, m_source->fieldNames()));
}

void DBGridEh::setMarker(const QString &field, Marker marker)
{
    m_markers.insert(field.toLower(), marker);
    QHeaderView *header = m_view->horizontalHeader();
    for (int logical = 0; logical < m_model->columns.size(); ++logical) {
        if (m_model->columns[logical].field.compare(field, Qt::CaseInsensitive) != 0)
            continue;
        header->setSortIndicatorShown(marker != Marker::None);
        header->setSortIndicator(logical,
                                 marker == Marker::Down ? Qt::DescendingOrder : Qt::AscendingOrder);
    }
}

QString DBGridEh::footerText(int displayIndex) const
{
    const int logical = m_view->horizontalHeader()->logicalIndex(displayIndex);
    if (logical < 0)
        return {};
    const GridColumn &column = m_model->columns.at(logical);
    if (column.footerType == GridColumn::StaticText)
        return m_homeSums && column.footerValue == kSumCaption ? Money::kHomeSumCaption
                                                               : column.footerValue;
    if (column.footerType == GridColumn::Sum)
        return m_sums.value(column.field.toLower());
    return {};
}

QString DBGridEh::footerToolTip(int displayIndex) const
{
    const int logical = m_view->horizontalHeader()->logicalIndex(displayIndex);
    if (logical < 0 || !m_source || !m_source->isCountKnown())
        return {};
    const GridColumn &column = m_model->columns.at(logical);
    if (column.footerType != GridColumn::Sum || !m_source->isHomeSum(column.field))
        return {};
    QString tip = QStringLiteral("各币种按当前汇率换算为%1后的合计").arg(Money::kHomeCurrency);
    if (const int leftOut = m_source->leftOut(column.field))
        tip += QStringLiteral("\n%1 条记录的币种没有汇率，未计入合计").arg(leftOut);
    return tip;
}

void DBGridEh::refreshSums()
{
    m_sums.clear();
    m_homeSums = false;
    QStringList fields;
    for (const GridColumn &c : std::as_const(m_model->columns)) {
        if (c.footerType != GridColumn::Sum)
            continue;
        fields << c.field;
        if (m_source && m_source->isOpen() && m_source->isCountKnown()) {
            const QVariant sum = m_source->sum(c.field);
            m_sums.insert(c.field.toLower(),
                          DisplayFormat::format(sum.isNull() ? QVariant(0) : sum, c.displayFormat));
            m_homeSums = m_homeSums || m_source->isHomeSum(c.field);
        }
    }
    if (m_source)
        m_source->setSumFields(fields);
    m_footer->update();
}
