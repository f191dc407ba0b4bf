#include "report/ReportEngine.h"

#include "core/AppHome.h"
#include "core/DisplayFormat.h"
#include "core/Money.h"
#include "report/BarCode.h"
#include "report/ReportText.h"

#include <QDate>
#include <QDir>
#include <QHash>
#include <algorithm>

namespace Report {

int Row::indexOf(const QString &field) const
{
    for (int i = 0; i < fields.size(); ++i) {
        if (fields.at(i).compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant Row::value(const QString &field) const
{
    const int i = indexOf(field);
    return i < 0 ? QVariant() : values.value(i);
}

static size_t qHash(const Style &s, size_t seed = 0)
{
    return qHashMulti(seed, s.font.family, s.font.size, s.font.bold, s.font.italic,
                      s.font.underline, s.align, s.valign, s.wrap, s.frame, s.frameWidth,
                      s.color.rgba(), s.background.isValid() ? s.background.rgba() : 0u,
                      int(s.symbol.symbology));
}

namespace {

constexpr double kEpsilon = 0.001; // mm; what fits exactly, fits

// The numbers of a row as sums take them: a price beside its currency column in 人民币, and
// left out when its currency has no rate.
struct Amounts
{
    QList<std::pair<QString, double>> values; // lower-cased field
    QStringList leftOut;                      // lower-cased fields
};

Amounts amountsOf(const Row &row, const Money::Rates &rates)
{
    Amounts amounts;
    for (int i = 0; i < row.fields.size(); ++i) {
        bool ok = false;
        const double v = row.values.at(i).toDouble(&ok);
        if (!ok)
            continue;
        const QString field = row.fields.at(i).toLower();
        const QString currencyColumn = Money::currencyColumnOf(field);
        const int currency = currencyColumn.isEmpty() ? -1 : row.indexOf(currencyColumn);
        if (currency < 0) {
            amounts.values.append({field, v});
        } else if (const std::optional<double> home =
                       rates.toHome(v, row.values.at(currency).toString())) {
            amounts.values.append({field, *home});
        } else if (v != 0) {
            amounts.leftOut.append(field);
        }
    }
    return amounts;
}

// Sums and count of the rows a group, a data band or the whole report has passed.
struct Scope
{
    QHash<QString, double> sums; // lower-cased field
    QHash<QString, int> leftOut; // lower-cased field → prices without a rate
    int count = 0;

    void add(const Amounts &amounts)
    {
        ++count;
        for (const auto &[field, v] : amounts.values)
            sums[field] += v;
        for (const QString &field : amounts.leftOut)
            ++leftOut[field];
    }
};

// A band laid out for its current row: its elements relative to the band, and its height.
struct Laid
{
    QList<Element> elements;
    double height = 0;
};

struct ActiveData
{
    const DataBand *band;
    QString dataSet;
    Row row;
    QList<int> openGroups;    // indexes into band->groups, outermost first
    bool headerShown = false; // repeated on later pages once shown
    // The first of the scopes that sum this band's rows: its own, its groups', and for a band
    // at the top the whole report's. A detail's rows are not its master's to sum.
    qsizetype firstScope = 0;
    int rowNumber = 1; // of the current row, counted from 1
};

class Paginator
{
public:
    Paginator(const Template &report, DataProvider &data, const PrepareProgress &progress)
        : m_report(report), m_data(data), m_progress(progress)
    {
        m_prepared.page = report.page;
    }

    WorkResult run(Prepared *prepared)
    {
        m_prepared.pages = PageList(prepared->pages.elementsInMemory());
        QString error;
        if (!m_data.readRates(&m_rates, &error))
            return WorkResult::failed(error);
        m_scopes.append(Scope{});
        newPage();
        if (m_report.title)
            place(lay(*m_report.title));
        // A title that leaves no room for the page header has the first page to itself.
        if (m_pageHasContent && m_report.pageHeader && !fits(lay(*m_report.pageHeader).height))
            breakPage();
        else
            placeHeaders();
        for (const DataBand &data : m_report.data) {
            if (!runData(data, nullptr))
                break;
        }
        if (!stopped() && m_report.summary)
            place(lay(*m_report.summary));
        finishPage();
        if (m_cancelled)
            return WorkResult::cancelled();
        if (!m_stopped.isEmpty())
            return WorkResult::failed(m_stopped);
        *prepared = std::move(m_prepared);
        return m_dataError.isEmpty() ? WorkResult::done() : WorkResult::failed(m_dataError);
    }

private:
    double bottom() const
    {
        const double footer = m_report.pageFooter ? m_report.pageFooter->height : 0;
        return m_report.page.height - m_report.page.margins.bottom() - footer;
    }

    bool fits(double height) const { return m_y + height <= bottom() + kEpsilon; }

    void newPage()
    {
        m_labelBand = nullptr;
        m_prepared.pages.append(Page{});
        m_y = m_report.page.margins.top();
        m_pageHasContent = false;
        if (m_progress && !m_progress(m_prepared) && !stopped())
            m_cancelled = true;
    }

    // The first reason to stop is the one told.
    void stop(const QString &reason)
    {
        if (!stopped())
            m_stopped = reason;
    }

    bool stopped() const { return m_cancelled || !m_stopped.isEmpty(); }

    // The page header, then the headers of the data and groups running over from the page
    // before: what every page starts with, never moved on to another page.
    void placeHeaders()
    {
        m_placingHeaders = true;
        if (m_report.pageHeader)
            place(lay(*m_report.pageHeader));
        for (const ActiveData &active : std::as_const(m_active)) {
            if (active.headerShown)
                place(lay(*active.band->header));
            for (int g : active.openGroups) {
                const Group &group = active.band->groups.at(g);
                if (group.repeatHeader && group.header)
                    place(lay(*group.header));
            }
        }
        m_placingHeaders = false;
    }

    void finishPage()
    {
        if (m_report.pageFooter) {
            Laid footer = lay(*m_report.pageFooter);
            const double top =
                m_report.page.height - m_report.page.margins.bottom() - m_report.pageFooter->height;
            emitAt(footer, top, m_report.pageFooter->height);
        }
    }

    void breakPage()
    {
        finishPage();
        newPage();
        placeHeaders();
    }

    // Puts a laid band on the page, after a page break when it does not fit below what is
    // there; `withNext` more millimetres must fit along with it (a group header and its first
    // row). A band taller than the room a new page gives is clipped rather than moved on for
    // ever; one that finds no room at all, below headers that fill every page, stops the
    // report with the reason rather than vanish.
    // Returns where the band's top went.
    double place(const Laid &laid, double withNext = 0)
    {
        m_labelBand = nullptr;
        if (!m_placingHeaders && m_pageHasContent && !fits(laid.height + withNext))
            breakPage();
        const double room = bottom() - m_y;
        if (!m_placingHeaders && !m_pageHasContent && laid.height > kEpsilon && room <= kEpsilon) {
            stop(QStringLiteral("页眉、页脚和每页重复的表头占满了整页，没有打印数据的地方"));
            return m_y;
        }
        const double top = m_y;
        const double height = qMin(laid.height, qMax(0.0, room));
        emitAt(laid, m_y, height);
        m_y += height;
        if (!m_placingHeaders)
            m_pageHasContent = true;
        return top;
    }

    // A label: beside the one before in its row while the row has a free column, else at the
    // start of a new row below (on a new page when it does not fit).
    void placeLabel(const DataBand &band, const Laid &laid)
    {
        if (m_labelBand != &band) {
            m_labelTop = place(laid);
            m_labelBand = &band;
            m_labelColumn = 1;
            m_y = qMin(bottom(), m_y + band.rowGap);
        } else {
            const double height = qMin(laid.height, qMax(0.0, bottom() - m_labelTop));
            const double printable =
                m_report.page.width - m_report.page.margins.left() - m_report.page.margins.right();
            const double pitch =
                (printable - band.columnGap * (band.columns - 1)) / band.columns + band.columnGap;
            emitAt(laid, m_labelTop, height, m_labelColumn * pitch);
            m_y = qMax(m_y, qMin(bottom(), m_labelTop + height + band.rowGap));
            ++m_labelColumn;
        }
        if (m_labelColumn >= band.columns)
            m_labelBand = nullptr;
    }

    // The labels of a partly used sheet are left free.
    void skipLabels(const DataBand &band)
    {
        for (int i = 1; i < band.firstLabel && m_stopped.isEmpty(); ++i)
            placeLabel(band, Laid{{}, band.row.height});
    }

    void emitAt(const Laid &laid, double top, double height, double shift = 0)
    {
        Page &page = m_prepared.pages.last();
        const double left = m_report.page.margins.left() + shift;
        for (Element e : laid.elements) {
            if (e.rect.top() >= height - kEpsilon && laid.height > 0 && height < laid.height)
                continue; // below the clipped part
            e.rect.translate(left, top);
            if (e.rect.bottom() > top + height + kEpsilon)
                e.rect.setBottom(top + height);
            page.elements.append(e);
        }
    }

    Laid lay(const Band &band)
    {
        Laid laid;
        laid.height = band.height;
        // Items that grow push down the items that start below them, each by the largest
        // growth of those ending above it: the growing items sorted by their bottoms, with the
        // largest growth so far, answer that for any item in a binary search.
        QList<double> growth(band.items.size(), 0);
        QList<std::pair<double, double>> growers; // bottom, growth
        for (qsizetype i = 0; i < band.items.size(); ++i) {
            const Item &item = band.items.at(i);
            if (item.kind == Item::Text && item.grow) {
                const double needed =
                    textHeight(evaluate(item.text), item.font, item.rect.width() - 1, item.wrap);
                growth[i] = qMax(0.0, needed - item.rect.height());
                if (growth[i] > 0)
                    growers.append({item.rect.bottom(), growth[i]});
            }
        }
        std::sort(growers.begin(), growers.end());
        for (qsizetype i = 1; i < growers.size(); ++i)
            growers[i].second = qMax(growers[i].second, growers[i - 1].second);
        laid.elements.reserve(band.items.size());
        for (qsizetype i = 0; i < band.items.size(); ++i) {
            const Item &item = band.items.at(i);
            const auto above = std::upper_bound(
                growers.cbegin(), growers.cend(), item.rect.top() + kEpsilon,
                [](double top, const std::pair<double, double> &g) { return top < g.first; });
            const double shift = above == growers.cbegin() ? 0 : std::prev(above)->second;
            Element e = element(item);
            e.rect.translate(0, shift);
            e.rect.setHeight(e.rect.height() + growth[i]);
            laid.height = qMax(laid.height, band.height + shift + growth[i]);
            laid.elements << e;
        }
        return laid;
    }

    Element element(const Item &item)
    {
        Element e;
        e.kind = Element::Kind(item.kind);
        e.rect = item.rect;
        e.style = styleOf(item);
        switch (item.kind) {
        case Item::Text:
            e.text = evaluate(item.text);
            break;
        case Item::Picture:
            e.text = picturePath(item.source);
            break;
        case Item::CheckBox: {
            const QVariant v = fieldValue(item.source);
            e.checked = v.toBool() || v.toString() == u"1";
            break;
        }
        case Item::PieChart:
            e.chart = int(m_prepared.charts.size());
            m_prepared.charts << pieSlices(item);
            break;
        case Item::BarCode:
            e.text = evaluate(item.text);
            checkBarCode(item.symbol, e.text);
            break;
        default:
            break;
        }
        return e;
    }

    // Each item's look is kept once, however many times the item prints.
    qint32 styleOf(const Item &item)
    {
        const auto known = m_styleOfItem.constFind(&item);
        if (known != m_styleOfItem.cend())
            return *known;
        const Style style = Report::styleOf(item);
        auto index = m_styleIndex.constFind(style);
        if (index == m_styleIndex.cend()) {
            index = m_styleIndex.insert(style, qint32(m_prepared.styles.size()));
            m_prepared.styles << style;
        }
        m_styleOfItem.insert(&item, *index);
        return *index;
    }

    // A value the symbology cannot take prints as a marked box; the report goes on and says
    // which record it was.
    void checkBarCode(const Symbol &symbol, const QString &value)
    {
        const QString problem = barCodeProblem(symbol, value);
        if (problem.isEmpty())
            return;
        const QString what = QStringLiteral("条码“%1”不能编为 %2：%3")
                                 .arg(value, symbologyName(symbol.symbology), problem);
        m_prepared.problems << (m_active.isEmpty() ? what
                                                   : QStringLiteral("%1 第 %2 条记录：%3")
                                                         .arg(m_active.last().dataSet)
                                                         .arg(m_active.last().rowNumber)
                                                         .arg(what));
    }

    QString picturePath(const QString &source)
    {
        if (source.startsWith(u'[') && source.endsWith(u']')) {
            // A stored path stays inside the program's folder, whatever a record says.
            const QString relative =
                QDir::cleanPath(fieldValue(source.mid(1, source.size() - 2)).toString());
            if (relative.isEmpty() || relative == u"." || QDir::isAbsolutePath(relative) ||
                relative.startsWith(QStringLiteral("..")))
                return {};
            return AppHome::path(relative);
        }
        return source.startsWith(QStringLiteral("file:")) ? source.mid(5) : source;
    }

    Chart pieSlices(const Item &item)
    {
        Chart slices;
        QString error;
        std::unique_ptr<RowSource> rows =
            m_data.open(item.dataSet, m_active.isEmpty() ? nullptr : &m_active.last().row, &error);
        Row row;
        while (rows && rows->next(&row))
            slices.append(
                {row.value(item.labelField).toString(), row.value(item.valueField).toDouble()});
        return slices;
    }

    QVariant fieldValue(const QString &name)
    {
        const qsizetype dot = name.indexOf(u'.');
        const QString dataSet = dot > 0 ? name.left(dot) : QString();
        const QString field = dot > 0 ? name.mid(dot + 1) : name;
        for (qsizetype i = m_active.size() - 1; i >= 0; --i) {
            const ActiveData &active = m_active.at(i);
            if (!dataSet.isEmpty() && active.dataSet.compare(dataSet, Qt::CaseInsensitive) != 0)
                continue;
            if (active.row.indexOf(field) >= 0)
                return active.row.value(field);
        }
        return dot > 0 ? QVariant() : m_data.variable(name);
    }

    QString token(const QString &token)
    {
        const qsizetype colon = token.indexOf(u':');
        const QString name = (colon < 0 ? token : token.left(colon)).trimmed();
        const QString format = colon < 0 ? QString() : token.mid(colon + 1);
        const QString lower = name.toLower();
        if (lower == u"page")
            return QString::number(m_prepared.pages.size());
        if (lower == u"pagecount")
            return QStringLiteral("[PageCount]");
        if (lower == u"date")
            return QDate::currentDate().toString(format.isEmpty() ? QStringLiteral("yyyy-MM-dd")
                                                                  : format);
        if (lower == u"count")
            return QString::number(m_scopes.last().count);
        if (lower.startsWith(QStringLiteral("sum(")) && lower.endsWith(u')')) {
            const double sum = m_scopes.last().sums.value(lower.mid(4, lower.size() - 5).trimmed());
            return DisplayFormat::format(sum, format.isEmpty() ? QStringLiteral("0.##") : format);
        }
        if (lower.startsWith(QStringLiteral("norate(")) && lower.endsWith(u')'))
            return QString::number(
                m_scopes.last().leftOut.value(lower.mid(7, lower.size() - 8).trimmed()));
        const QVariant value = fieldValue(name);
        if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime)
            return DisplayFormat::format(value,
                                         format.isEmpty() ? QStringLiteral("yyyy-MM-dd") : format);
        return DisplayFormat::format(value, format);
    }

    // "[…]" tokens replaced by their values; "[PageCount]" stays for drawing time.
    QString evaluate(const QString &text)
    {
        QString out;
        qsizetype at = 0;
        while (at < text.size()) {
            const qsizetype open = text.indexOf(u'[', at);
            const qsizetype close = open < 0 ? -1 : text.indexOf(u']', open);
            if (close < 0) {
                out += text.mid(at);
                break;
            }
            out += text.mid(at, open - at) + token(text.mid(open + 1, close - open - 1));
            at = close + 1;
        }
        return out;
    }

    // A data set that cannot be read prints the rows it gave; the first such failure is
    // told at the end. False when the report was stopped.
    bool runData(const DataBand &band, const Row *master)
    {
        QString error;
        std::unique_ptr<RowSource> rows = m_data.open(band.dataSet, master, &error);
        if (!rows) {
            failedData(error);
            return !stopped();
        }
        Row row;
        if (!rows->next(&row))
            return finishRows(*rows);
        m_active.append({&band, band.dataSet, row, {}, false, master ? m_scopes.size() : 0});
        m_scopes.append(Scope{});
        const auto current = [this]() -> ActiveData & { return m_active.last(); };
        if (band.header) {
            place(lay(*band.header), firstRowHeight(band));
            current().headerShown = true;
        }
        QVariantList groupValues(band.groups.size());
        bool first = true;
        bool more = true;
        while (more && !stopped()) {
            int changed = first ? 0 : int(band.groups.size());
            for (int g = 0; g < band.groups.size() && !first; ++g) {
                if (row.value(band.groups.at(g).field) != groupValues.at(g)) {
                    changed = g;
                    break;
                }
            }
            // Group footers still show the rows they close.
            closeGroups(band, changed);
            current().row = row;
            for (int g = changed; g < band.groups.size(); ++g)
                openGroup(band, g, row, &groupValues, first);
            if (first && band.columns > 1)
                skipLabels(band);
            first = false;
            if (band.columns > 1)
                placeLabel(band, lay(band.row));
            else
                place(lay(band.row));
            const Amounts amounts = amountsOf(row, m_rates);
            for (qsizetype i = current().firstScope; i < m_scopes.size(); ++i)
                m_scopes[i].add(amounts);
            for (const DataBand &detail : band.details) {
                const Row masterRow = row;
                if (!runData(detail, &masterRow))
                    return false;
            }
            Row next;
            more = rows->next(&next);
            if (more) {
                row = next;
                ++current().rowNumber;
            }
        }
        if (stopped())
            return false;
        closeGroups(band, 0);
        if (band.footer)
            place(lay(*band.footer));
        m_scopes.removeLast();
        m_active.removeLast();
        return finishRows(*rows);
    }

    bool finishRows(const RowSource &rows)
    {
        failedData(rows.error());
        return !stopped();
    }

    void failedData(const QString &error)
    {
        if (m_dataError.isEmpty())
            m_dataError = error;
    }

    double firstRowHeight(const DataBand &band) { return lay(band.row).height; }

    void openGroup(const DataBand &band, int g, const Row &row, QVariantList *values, bool first)
    {
        const Group &group = band.groups.at(g);
        (*values)[g] = row.value(group.field);
        if (group.newPage && !first && m_pageHasContent)
            breakPage();
        if (group.header) {
            // A group header never stands alone at the bottom of a page.
            place(lay(*group.header), firstRowHeight(band));
        }
        m_active.last().openGroups.append(g);
        m_scopes.append(Scope{});
    }

    void closeGroups(const DataBand &band, int from)
    {
        QList<int> &open = m_active.last().openGroups;
        while (!open.isEmpty() && open.last() >= from) {
            const Group &group = band.groups.at(open.last());
            if (group.footer)
                place(lay(*group.footer));
            open.removeLast();
            m_scopes.removeLast();
        }
    }

    const Template &m_report;
    DataProvider &m_data;
    PrepareProgress m_progress;
    Prepared m_prepared;
    QList<ActiveData> m_active;
    QList<Scope> m_scopes;
    Money::Rates m_rates;
    QHash<const Item *, qint32> m_styleOfItem;
    QHash<Style, qint32> m_styleIndex;
    double m_y = 0;
    bool m_pageHasContent = false; // anything but the headers every page starts with
    bool m_placingHeaders = false;
    bool m_cancelled = false;
    const DataBand *m_labelBand = nullptr; // whose row of labels has a free column
    int m_labelColumn = 0;                 // that free column
    double m_labelTop = 0;                 // of that row
    QString m_stopped;                     // why the report could not be made
    QString m_dataError;                   // the first data set that could not be read
};

} // namespace

WorkResult prepare(const Template &report, DataProvider &data, Prepared *prepared,
                   const PrepareProgress &progress)
{
    return Paginator(report, data, progress).run(prepared);
}

} // namespace Report
