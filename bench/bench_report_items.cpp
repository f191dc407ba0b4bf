// Times the preparation of a band of 20 000 items, each of a look of its own, over a few rows
// against the same number of elements made by a band of 20 items over a thousand times as
// many rows, in the same run: near 1 when preparing costs the same for every element,
// whatever the band holds.
//
//   quorin_report_items_bench

#include "report/ReportEngine.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <cstdio>

namespace {

class Rows : public Report::RowSource
{
public:
    explicit Rows(int count) : m_left(count) {}
    bool next(Report::Row *row) override
    {
        if (m_left-- <= 0)
            return false;
        *row = Report::Row{{QStringLiteral("name")}, {QStringLiteral("样品%1").arg(m_left)}};
        return true;
    }

private:
    int m_left;
};

class Data : public Report::DataProvider
{
public:
    explicit Data(int rows) : m_rows(rows) {}
    std::unique_ptr<Report::RowSource> open(const QString &, const Report::Row *,
                                            QString *) override
    {
        return std::make_unique<Rows>(m_rows);
    }

private:
    int m_rows;
};

// A row band of `items` small texts in lines of 100, one in `growing` growing with its text
// (none for 0).
Report::Template band(int items, int growing)
{
    Report::Template t;
    Report::DataBand data;
    data.dataSet = QStringLiteral("d");
    data.row.height = (items + 99) / 100 * 1.0;
    for (int i = 0; i < items; ++i) {
        Report::Item item;
        item.rect = QRectF((i % 100) * 1.9, (i / 100) * 1.0, 1.8, 0.9);
        item.text = QStringLiteral("[name]");
        item.font.size = 2;
        item.color = QColor::fromRgb(QRgb(i));
        item.grow = growing > 0 && i % growing == 0;
        data.row.items << item;
    }
    t.data << data;
    return t;
}

double prepareMs(const Report::Template &report, int rows, qsizetype *elements)
{
    Data data(rows);
    Report::Prepared prepared;
    QElapsedTimer timer;
    timer.start();
    if (const WorkResult made = Report::prepare(report, data, &prepared); !made.isDone()) {
        std::fprintf(stderr, "report failed: %s\n", qPrintable(made.reason()));
        return -1;
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    *elements = 0;
    for (const Report::Page &page : prepared.pages)
        *elements += page.elements.size();
    return ms;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    constexpr int kWideRows = 10;
    for (int growing : {0, 20}) {
        qsizetype wideElements = 0;
        qsizetype narrowElements = 0;
        const double wide = prepareMs(band(20000, growing), kWideRows, &wideElements);
        const double narrow = prepareMs(band(20, growing), kWideRows * 1000, &narrowElements);
        if (wide < 0 || narrow < 0)
            return 1;
        std::printf("%s: 20 000 items x %d rows %.0f ms (%lld elements), 20 items x %d rows "
                    "%.0f ms (%lld elements), ratio %.2f\n",
                    growing > 0 ? "1 in 20 growing" : "plain texts", kWideRows, wide,
                    qlonglong(wideElements), kWideRows * 1000, narrow, qlonglong(narrowElements),
                    wide / narrow);
    }
    return 0;
}
