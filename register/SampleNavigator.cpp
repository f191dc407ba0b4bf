#include "register/SampleNavigator.h"

#include "core/CodeListValues.h"
#include "masterdata/TreeCodeView.h"
#include "register/SampleListQuery.h"

#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

SampleNavigator::SampleNavigator(QWidget *parent) : QTabWidget(parent)
{
    setObjectName(QStringLiteral("pcNavigator"));
    setTabPosition(QTabWidget::South);

    auto *items = new QWidget;
    auto *itemsLayout = new QVBoxLayout(items);
    itemsLayout->setContentsMargins(0, 0, 0, 0);
    vleList = new QTableWidget(0, 2);
    vleList->setObjectName(QStringLiteral("vleList"));
    vleList->setSelectionBehavior(QAbstractItemView::SelectRows);
    vleList->setSelectionMode(QAbstractItemView::SingleSelection);
    vleList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vleList->verticalHeader()->hide();
    vleList->horizontalHeader()->setStretchLastSection(true);
    vleList->setColumnWidth(0, 36);
    vleList->verticalHeader()->setDefaultSectionSize(vleList->fontMetrics().height() + 6);
    cbbListType = new QComboBox;
    cbbListType->setObjectName(QStringLiteral("cbbListType"));
    cbbListType->addItems(SampleListQuery::listTypeCaptions());
    itemsLayout->addWidget(vleList, 1);
    itemsLayout->addWidget(cbbListType);
    addTab(items, QStringLiteral(" 样品项目 "));

    tvTree = new QTreeWidget;
    tvTree->setObjectName(QStringLiteral("tvTree"));
    tvTree->setHeaderHidden(true);
    tvTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    addTab(tvTree, QStringLiteral(" 样品类型 "));

    connect(cbbListType, &QComboBox::currentIndexChanged, this, &SampleNavigator::FillValueList);
    connect(vleList, &QTableWidget::currentCellChanged, this, [this] {
        if (!m_filling)
            emit changed();
    });
    // A click on the current cell changes nothing, yet it lists again too.
    vleList->viewport()->installEventFilter(this);
    connect(vleList, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (!m_filling && QPoint(row, column) == m_cellBeforePress)
            emit changed();
    });
    connect(tvTree, &QTreeWidget::itemDoubleClicked, this, &SampleNavigator::changed);
}

bool SampleNavigator::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == vleList->viewport() && event->type() == QEvent::MouseButtonPress)
        m_cellBeforePress = QPoint(vleList->currentRow(), vleList->currentColumn());
    return QTabWidget::eventFilter(watched, event);
}

void SampleNavigator::fillCriteria(SampleListCriteria *criteria) const
{
    criteria->typeLikeCode = nodeLikeCode(tvTree->currentItem());
    criteria->listType = cbbListType->currentIndex();
    const int row = vleList->currentRow();
    if (row > 0 && vleList->item(row, 1))
        criteria->listValue = vleList->item(row, 1)->text();
}

int SampleNavigator::listType() const
{
    return cbbListType->currentIndex();
}

void SampleNavigator::FillValueList(int listType)
{
    m_filling = true;
    vleList->clearContents();
    vleList->setHorizontalHeaderLabels({QString(), SampleListQuery::listTypeTitle(listType)});
    const QString kind = SampleListQuery::listTypeKind(listType);
    const QStringList values =
        kind.isEmpty() ? SampleListQuery::secrecyLevels() : CodeListValues(kind);
    vleList->setRowCount(int(values.size()) + 1);
    vleList->setItem(0, 0, new QTableWidgetItem(QStringLiteral("0")));
    vleList->setItem(0, 1, new QTableWidgetItem(QStringLiteral("全部")));
    for (int i = 0; i < values.size(); ++i) {
        vleList->setItem(i + 1, 0, new QTableWidgetItem(QString::number(i + 1)));
        vleList->setItem(i + 1, 1, new QTableWidgetItem(values[i]));
    }
    vleList->setCurrentCell(0, 1);
    m_filling = false;
    emit changed();
}

void SampleNavigator::loadTypeTree()
{
    LoadTreeCode(tvTree, QStringLiteral("样品类型"), QStringLiteral("type"))->setExpanded(true);
}
