#include "report/GridPrint.h"

namespace Report {

namespace {

const QString kDataSet = QStringLiteral("grid");

Item cell(const QRectF &rect, const QString &text, int align, bool heading)
{
    Item item;
    item.rect = rect;
    item.text = text;
    item.align = Item::Align(align);
    item.wrap = false;
    item.frame = QStringLiteral("LTRB");
    item.font.size = 9;
    item.font.bold = heading;
    if (heading) {
        item.color = Qt::white;
        item.background = QColor(0, 0, 128);
    }
    return item;
}

class ListRows : public RowSource
{
public:
    explicit ListRows(const QList<QStringList> &rows) : m_rows(rows) {}
    bool next(Row *row) override
    {
        if (m_at >= m_rows.size())
            return false;
        const QStringList &values = m_rows.at(m_at++);
        row->fields.clear();
        row->values.clear();
        for (qsizetype i = 0; i < values.size(); ++i) {
            row->fields << QStringLiteral("c%1").arg(i);
            row->values << values.at(i);
        }
        return true;
    }

private:
    const QList<QStringList> &m_rows;
    qsizetype m_at = 0;
};

} // namespace

Template gridTemplate(const QString &title, const QString &pageHeader, const QString &pageFooter,
                      const QList<GridColumnPrint> &columns)
{
    double totalPx = 0;
    for (const GridColumnPrint &c : columns)
        totalPx += qMax(10.0, c.width);
    Template t;
    t.page.landscape = totalPx > 620;
    if (t.page.landscape)
        std::swap(t.page.width, t.page.height);
    const double room = t.page.width - t.page.margins.left() - t.page.margins.right();
    const double perPx = totalPx > 0 ? qMin(room / totalPx, 0.3) : 0.3;

    Item heading = cell(QRectF(0, 0, room, 10), title, Item::Centre, false);
    heading.frame.clear();
    heading.font.size = 14;
    heading.font.bold = true;
    t.title = Band{12, {heading}};
    if (!pageHeader.isEmpty()) {
        Item header = cell(QRectF(0, 0, room, 6), pageHeader, Item::Left, false);
        header.frame.clear();
        t.pageHeader = Band{7, {header}};
    }
    Item footer =
        cell(QRectF(0, 2, room, 6),
             pageFooter.isEmpty() ? QStringLiteral("第 [Page] 页 / 共 [PageCount] 页") : pageFooter,
             Item::Right, false);
    footer.frame.clear();
    footer.font.size = 8;
    t.pageFooter = Band{8, {footer}};

    DataBand data;
    data.dataSet = kDataSet;
    data.header = Band{7, {}};
    data.row = Band{6, {}};
    double x = 0;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const double width = qMax(10.0, columns.at(i).width) * perPx;
        data.header->items << cell(QRectF(x, 0, width, 7), columns.at(i).caption, Item::Centre,
                                   true);
        // Each cell shows its own field; brackets in a value stay text.
        data.row.items << cell(QRectF(x, 0, width, 6), QStringLiteral("[c%1]").arg(i),
                               columns.at(i).align, false);
        x += width;
    }
    t.data << data;
    return t;
}

std::unique_ptr<RowSource> GridRows::open(const QString &dataSet, const Row *, QString *error)
{
    if (dataSet.compare(kDataSet, Qt::CaseInsensitive) != 0) {
        *error = QStringLiteral("报表用到的数据集 %1 不存在").arg(dataSet);
        return nullptr;
    }
    return std::make_unique<ListRows>(m_rows);
}

} // namespace Report
