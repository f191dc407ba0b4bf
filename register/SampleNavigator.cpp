#include "register/SampleNavigator.h"

#include "core/CodeListValues.h"
#include "masterdata/TreeCodeView.h"
#include "masterdata/TypeNodeCriterion.h"
#include "register/SampleListQuery.h"

#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The value list's choice: {"type": the list type's caption, "value": the value chosen, none
// for 全部}. Choosing a list type refills the list.
class ValueListCriterion : public Criterion
{
public:
    ValueListCriterion(const QString &key, QComboBox *types, QTableWidget *values)
        : Criterion(key), m_types(types), m_values(values)
    {
    }

    QJsonValue save() const override
    {
        const int row = m_values->currentRow();
        const QString value =
            row > 0 && m_values->item(row, 1) ? m_values->item(row, 1)->text() : QString();
        return QJsonObject{{QStringLiteral("type"), m_types->currentText()},
                           {QStringLiteral("value"), value}};
    }

    void restore(const QJsonValue &saved, QStringList *notes) override
    {
        const QJsonObject o = saved.toObject();
        const QString type = o.value(QStringLiteral("type")).toString();
        int index = type.isEmpty() ? 0 : m_types->findText(type);
        if (index < 0) {
            *notes << goneNote(QStringLiteral("列表类型"), type);
            index = 0;
        }
        if (index == m_types->currentIndex())
            m_values->setCurrentCell(0, 1);
        else
            m_types->setCurrentIndex(index);
        const QString value = o.value(QStringLiteral("value")).toString();
        if (value.isEmpty())
            return;
        for (int row = 1; row < m_values->rowCount(); ++row) {
            if (m_values->item(row, 1) && m_values->item(row, 1)->text() == value) {
                m_values->setCurrentCell(row, 1);
                return;
            }
        }
        *notes << goneNote(SampleListQuery::listTypeTitle(index).remove(u' '), value);
    }

private:
    QComboBox *m_types;
    QTableWidget *m_values;
};

} // namespace

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

    m_criteria.add(std::make_unique<TypeNodeCriterion>(QStringLiteral("type"), tvTree));
    m_criteria.add(
        std::make_unique<ValueListCriterion>(QStringLiteral("list"), cbbListType, vleList));
}

QJsonObject SampleNavigator::saveCriteria() const
{
    return m_criteria.save();
}

void SampleNavigator::restoreCriteria(const QJsonObject &saved, QStringList *notes)
{
    const QSignalBlocker quiet(this);
    m_criteria.restore(saved, notes);
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
        kind.isEmpty() ? SampleListQuery::secrecyLevels() : codeListValues(kind);
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
