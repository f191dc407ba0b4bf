#include "report/ReportTemplate.h"

#include "core/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

namespace Report {

namespace {

const QString kFormatName = QStringLiteral("quorin-report");

const char *const kKinds[] = {"text",    "line",     "rect", "ellipse",
                              "picture", "checkbox", "pie",  "barcode"};
const char *const kSymbologies[] = {"code128", "code39", "ean13", "ean8", "qr", "datamatrix"};
const char *const kErrorLevels[] = {"L", "M", "Q", "H"};
const char *const kAligns[] = {"left", "centre", "right"};
const char *const kVAligns[] = {"top", "middle", "bottom"};

template <std::size_t N> QString nameOf(const char *const (&names)[N], int value)
{
    return QLatin1String(names[value]);
}

// -1 for a name not in the list.
template <std::size_t N> int valueOf(const char *const (&names)[N], const QString &name)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (name == QLatin1String(names[i]))
            return int(i);
    }
    return -1;
}

QJsonArray numbers(std::initializer_list<double> values)
{
    QJsonArray array;
    for (double v : values)
        array.append(v);
    return array;
}

QJsonObject fontJson(const Font &f)
{
    QJsonObject o;
    if (!f.family.isEmpty())
        o.insert(QStringLiteral("family"), f.family);
    o.insert(QStringLiteral("size"), f.size);
    if (f.bold)
        o.insert(QStringLiteral("bold"), true);
    if (f.italic)
        o.insert(QStringLiteral("italic"), true);
    if (f.underline)
        o.insert(QStringLiteral("underline"), true);
    return o;
}

QJsonObject itemJson(const Item &item)
{
    const Item plain;
    QJsonObject o;
    o.insert(QStringLiteral("kind"), nameOf(kKinds, item.kind));
    if (!item.name.isEmpty())
        o.insert(QStringLiteral("name"), item.name);
    o.insert(QStringLiteral("rect"),
             numbers({item.rect.x(), item.rect.y(), item.rect.width(), item.rect.height()}));
    const auto text = [&o](const char *key, const QString &value) {
        if (!value.isEmpty())
            o.insert(QLatin1String(key), value);
    };
    text("text", item.text);
    if (item.kind == Item::BarCode) {
        const Symbol &symbol = item.symbol;
        o.insert(QStringLiteral("symbology"), nameOf(kSymbologies, symbol.symbology));
        o.insert(QStringLiteral("showText"), symbol.showText);
        o.insert(QStringLiteral("quietZone"), symbol.quietZone);
        if (symbol.module > 0)
            o.insert(QStringLiteral("module"), symbol.module);
        if (symbol.symbology == Symbol::QrCode)
            o.insert(QStringLiteral("errorLevel"), nameOf(kErrorLevels, symbol.errorLevel));
        o.insert(QStringLiteral("font"), fontJson(item.font));
    }
    if (item.kind == Item::Text) {
        o.insert(QStringLiteral("font"), fontJson(item.font));
        o.insert(QStringLiteral("align"), nameOf(kAligns, item.align));
        o.insert(QStringLiteral("valign"), nameOf(kVAligns, item.valign));
        o.insert(QStringLiteral("wrap"), item.wrap);
        o.insert(QStringLiteral("grow"), item.grow);
    }
    text("frame", item.frame);
    if (item.frameWidth != plain.frameWidth)
        o.insert(QStringLiteral("frameWidth"), item.frameWidth);
    if (item.color != plain.color)
        o.insert(QStringLiteral("color"), item.color.name(QColor::HexArgb));
    if (item.background.isValid())
        o.insert(QStringLiteral("background"), item.background.name(QColor::HexArgb));
    text("source", item.source);
    text("dataSet", item.dataSet);
    text("labelField", item.labelField);
    text("valueField", item.valueField);
    return o;
}

QJsonObject bandJson(const Band &band)
{
    QJsonArray items;
    for (const Item &item : band.items)
        items.append(itemJson(item));
    return {{QStringLiteral("height"), band.height}, {QStringLiteral("items"), items}};
}

void insertBand(QJsonObject &o, const char *key, const std::optional<Band> &band)
{
    if (band)
        o.insert(QLatin1String(key), bandJson(*band));
}

QJsonObject dataJson(const DataBand &data)
{
    const DataBand plain;
    QJsonObject o;
    o.insert(QStringLiteral("dataSet"), data.dataSet);
    if (data.columns != plain.columns)
        o.insert(QStringLiteral("columns"), data.columns);
    if (data.columnGap != plain.columnGap)
        o.insert(QStringLiteral("columnGap"), data.columnGap);
    if (data.rowGap != plain.rowGap)
        o.insert(QStringLiteral("rowGap"), data.rowGap);
    if (data.firstLabel != plain.firstLabel)
        o.insert(QStringLiteral("firstLabel"), data.firstLabel);
    insertBand(o, "header", data.header);
    insertBand(o, "footer", data.footer);
    QJsonArray groups;
    for (const Group &g : data.groups) {
        QJsonObject group{{QStringLiteral("field"), g.field},
                          {QStringLiteral("repeatHeader"), g.repeatHeader},
                          {QStringLiteral("newPage"), g.newPage}};
        insertBand(group, "header", g.header);
        insertBand(group, "footer", g.footer);
        groups.append(group);
    }
    if (!groups.isEmpty())
        o.insert(QStringLiteral("groups"), groups);
    o.insert(QStringLiteral("row"), bandJson(data.row));
    QJsonArray details;
    for (const DataBand &d : data.details)
        details.append(dataJson(d));
    if (!details.isEmpty())
        o.insert(QStringLiteral("details"), details);
    return o;
}

// Reading: every value is checked for its type, so a damaged file is refused with the place
// of the fault rather than read in part.
class Reader
{
public:
    QString error;

    bool fail(const QString &where, const QString &what)
    {
        if (error.isEmpty())
            error = QStringLiteral("%1: %2").arg(where, what);
        return false;
    }

    bool number(const QJsonObject &o, const char *key, double *value, const QString &where,
                bool required = false)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return !required || fail(where, QStringLiteral("缺少 %1").arg(QLatin1String(key)));
        if (!v.isDouble() || v.toDouble() < 0 || v.toDouble() > 10000)
            return fail(where, QStringLiteral("%1 不是有效的数值").arg(QLatin1String(key)));
        *value = v.toDouble();
        return true;
    }

    bool integer(const QJsonObject &o, const char *key, int *value, int minimum, int maximum,
                 const QString &where)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return true;
        const double d = v.toDouble(-1);
        if (!v.isDouble() || d != std::floor(d) || d < minimum || d > maximum)
            return fail(where, QStringLiteral("%1 须是 %2 至 %3 的整数")
                                   .arg(QLatin1String(key))
                                   .arg(minimum)
                                   .arg(maximum));
        *value = int(d);
        return true;
    }

    bool text(const QJsonObject &o, const char *key, QString *value, const QString &where)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return true;
        if (!v.isString())
            return fail(where, QStringLiteral("%1 不是文字").arg(QLatin1String(key)));
        *value = v.toString();
        return true;
    }

    bool flag(const QJsonObject &o, const char *key, bool *value, const QString &where)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return true;
        if (!v.isBool())
            return fail(where, QStringLiteral("%1 不是是否值").arg(QLatin1String(key)));
        *value = v.toBool();
        return true;
    }

    bool color(const QJsonObject &o, const char *key, QColor *value, const QString &where)
    {
        QString name;
        if (!text(o, key, &name, where))
            return false;
        if (name.isEmpty())
            return true;
        const QColor c = QColor::fromString(name);
        if (!c.isValid())
            return fail(where, QStringLiteral("%1 不是颜色").arg(QLatin1String(key)));
        *value = c;
        return true;
    }

    template <std::size_t N>
    bool choice(const QJsonObject &o, const char *key, const char *const (&names)[N], int *value,
                const QString &where)
    {
        QString name;
        if (!text(o, key, &name, where))
            return false;
        if (name.isEmpty())
            return true;
        const int v = valueOf(names, name);
        if (v < 0)
            return fail(where, QStringLiteral("%1 的值 %2 未知").arg(QLatin1String(key), name));
        *value = v;
        return true;
    }

    bool object(const QJsonValue &v, QJsonObject *o, const QString &where)
    {
        if (!v.isObject())
            return fail(where, QStringLiteral("不是对象"));
        *o = v.toObject();
        return true;
    }

    bool array(const QJsonObject &o, const char *key, QJsonArray *a, const QString &where)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return true;
        if (!v.isArray())
            return fail(where, QStringLiteral("%1 不是列表").arg(QLatin1String(key)));
        *a = v.toArray();
        return true;
    }

    bool font(const QJsonObject &o, Font *f, const QString &where)
    {
        const QJsonValue v = o.value(QStringLiteral("font"));
        if (v.isUndefined())
            return true;
        QJsonObject fo;
        return object(v, &fo, where) && text(fo, "family", &f->family, where) &&
               number(fo, "size", &f->size, where) && flag(fo, "bold", &f->bold, where) &&
               flag(fo, "italic", &f->italic, where) && flag(fo, "underline", &f->underline, where);
    }

    bool item(const QJsonValue &v, Item *item, const QString &where)
    {
        QJsonObject o;
        int kind = -1;
        if (!object(v, &o, where) || !choice(o, "kind", kKinds, &kind, where))
            return false;
        if (kind < 0)
            return fail(where, QStringLiteral("缺少 kind"));
        item->kind = Item::Kind(kind);
        QJsonArray rect;
        if (!array(o, "rect", &rect, where))
            return false;
        if (rect.size() != 4)
            return fail(where, QStringLiteral("rect 须有四个数值"));
        double r[4];
        for (int i = 0; i < 4; ++i) {
            if (!rect.at(i).isDouble() || qAbs(rect.at(i).toDouble()) > 10000)
                return fail(where, QStringLiteral("rect 不是有效的数值"));
            r[i] = rect.at(i).toDouble();
        }
        item->rect = QRectF(r[0], r[1], r[2], r[3]);
        int align = item->align;
        int valign = item->valign;
        const bool ok =
            text(o, "name", &item->name, where) && text(o, "text", &item->text, where) &&
            font(o, &item->font, where) && choice(o, "align", kAligns, &align, where) &&
            choice(o, "valign", kVAligns, &valign, where) && flag(o, "wrap", &item->wrap, where) &&
            flag(o, "grow", &item->grow, where) && text(o, "frame", &item->frame, where) &&
            number(o, "frameWidth", &item->frameWidth, where) &&
            color(o, "color", &item->color, where) &&
            color(o, "background", &item->background, where) &&
            text(o, "source", &item->source, where) && text(o, "dataSet", &item->dataSet, where) &&
            text(o, "labelField", &item->labelField, where) &&
            text(o, "valueField", &item->valueField, where) && symbol(o, &item->symbol, where);
        item->align = Item::Align(align);
        item->valign = Item::VAlign(valign);
        return ok;
    }

    bool symbol(const QJsonObject &o, Symbol *symbol, const QString &where)
    {
        int symbology = symbol->symbology;
        const bool ok = choice(o, "symbology", kSymbologies, &symbology, where) &&
                        flag(o, "showText", &symbol->showText, where) &&
                        flag(o, "quietZone", &symbol->quietZone, where) &&
                        number(o, "module", &symbol->module, where) &&
                        choice(o, "errorLevel", kErrorLevels, &symbol->errorLevel, where);
        symbol->symbology = Symbol::Symbology(symbology);
        // A module that no printer draws, or one wider than any label, is not a bar code.
        if (ok && symbol->module > 10)
            return fail(where, QStringLiteral("module 须在 0 至 10 毫米之间"));
        return ok;
    }

    bool band(const QJsonObject &parent, const char *key, std::optional<Band> *band,
              const QString &where)
    {
        const QJsonValue v = parent.value(QLatin1String(key));
        if (v.isUndefined())
            return true;
        band->emplace();
        return this->band(v, &**band, where + u'.' + QLatin1String(key));
    }

    bool band(const QJsonValue &v, Band *band, const QString &where)
    {
        QJsonObject o;
        QJsonArray items;
        if (!object(v, &o, where) || !number(o, "height", &band->height, where, true) ||
            !array(o, "items", &items, where))
            return false;
        for (qsizetype i = 0; i < items.size(); ++i) {
            Item item;
            if (!this->item(items.at(i), &item, where + QStringLiteral(".items[%1]").arg(i)))
                return false;
            band->items << item;
        }
        return true;
    }

    bool data(const QJsonValue &v, DataBand *data, const QString &where, int depth)
    {
        if (depth > 8)
            return fail(where, QStringLiteral("嵌套过深"));
        QJsonObject o;
        QJsonArray groups;
        QJsonArray details;
        if (!object(v, &o, where) || !text(o, "dataSet", &data->dataSet, where) ||
            !integer(o, "columns", &data->columns, 1, 100, where) ||
            !number(o, "columnGap", &data->columnGap, where) ||
            !number(o, "rowGap", &data->rowGap, where) ||
            !integer(o, "firstLabel", &data->firstLabel, 1, 10000, where) ||
            !band(o, "header", &data->header, where) || !band(o, "footer", &data->footer, where) ||
            !array(o, "groups", &groups, where) || !array(o, "details", &details, where))
            return false;
        if (!o.contains(QStringLiteral("row")))
            return fail(where, QStringLiteral("缺少 row"));
        if (!band(o.value(QStringLiteral("row")), &data->row, where + QStringLiteral(".row")))
            return false;
        for (qsizetype i = 0; i < groups.size(); ++i) {
            const QString at = where + QStringLiteral(".groups[%1]").arg(i);
            QJsonObject go;
            Group g;
            if (!object(groups.at(i), &go, at) || !text(go, "field", &g.field, at) ||
                !flag(go, "repeatHeader", &g.repeatHeader, at) ||
                !flag(go, "newPage", &g.newPage, at) || !band(go, "header", &g.header, at) ||
                !band(go, "footer", &g.footer, at))
                return false;
            data->groups << g;
        }
        for (qsizetype i = 0; i < details.size(); ++i) {
            DataBand d;
            if (!this->data(details.at(i), &d, where + QStringLiteral(".details[%1]").arg(i),
                            depth + 1))
                return false;
            data->details << d;
        }
        return true;
    }
};

Item *findIn(std::optional<Band> &band, const QString &name)
{
    if (!band)
        return nullptr;
    for (Item &item : band->items) {
        if (item.name.compare(name, Qt::CaseInsensitive) == 0)
            return &item;
    }
    return nullptr;
}

Item *findIn(QList<DataBand> &data, const QString &name)
{
    for (DataBand &d : data) {
        for (Item &item : d.row.items) {
            if (item.name.compare(name, Qt::CaseInsensitive) == 0)
                return &item;
        }
        if (Item *found = findIn(d.header, name))
            return found;
        if (Item *found = findIn(d.footer, name))
            return found;
        for (Group &g : d.groups) {
            if (Item *found = findIn(g.header, name))
                return found;
            if (Item *found = findIn(g.footer, name))
                return found;
        }
        if (Item *found = findIn(d.details, name))
            return found;
    }
    return nullptr;
}

} // namespace

QString pageProblem(const PageSetup &page)
{
    const auto length = [](double mm) { return std::isfinite(mm) && mm >= 0 && mm <= kMaxLength; };
    if (!length(page.width) || !length(page.height) || page.width < kMinPaper ||
        page.height < kMinPaper)
        return QStringLiteral("纸张尺寸无效（宽 %1 毫米，高 %2 毫米；须在 %3 至 %4 毫米之间）")
            .arg(page.width)
            .arg(page.height)
            .arg(kMinPaper)
            .arg(kMaxLength);
    const QMarginsF &m = page.margins;
    if (!length(m.left()) || !length(m.top()) || !length(m.right()) || !length(m.bottom()) ||
        page.width - m.left() - m.right() < kMinPrintable ||
        page.height - m.top() - m.bottom() < kMinPrintable)
        return QStringLiteral("页边距无效（左 %1、上 %2、右 %3、下 %4 毫米；纸张 %5 × %6 毫米，"
                              "边距以内须留出至少 %7 毫米）")
            .arg(m.left())
            .arg(m.top())
            .arg(m.right())
            .arg(m.bottom())
            .arg(page.width)
            .arg(page.height)
            .arg(kMinPrintable);
    return {};
}

bool DataBand::operator==(const DataBand &other) const
{
    return dataSet == other.dataSet && columns == other.columns && columnGap == other.columnGap &&
           rowGap == other.rowGap && firstLabel == other.firstLabel && header == other.header &&
           footer == other.footer && groups == other.groups && row == other.row &&
           details == other.details;
}

Item *Template::findObject(const QString &name)
{
    for (std::optional<Band> *band : {&title, &pageHeader, &pageFooter, &summary}) {
        if (Item *found = findIn(*band, name))
            return found;
    }
    return findIn(data, name);
}

QByteArray toJson(const Template &report)
{
    QJsonObject page{{QStringLiteral("paper"), report.page.paper},
                     {QStringLiteral("landscape"), report.page.landscape},
                     {QStringLiteral("width"), report.page.width},
                     {QStringLiteral("height"), report.page.height},
                     {QStringLiteral("margins"),
                      numbers({report.page.margins.left(), report.page.margins.top(),
                               report.page.margins.right(), report.page.margins.bottom()})}};
    QJsonObject o{{QStringLiteral("format"), kFormatName},
                  {QStringLiteral("version"), kFormatVersion},
                  {QStringLiteral("page"), page}};
    insertBand(o, "title", report.title);
    insertBand(o, "pageHeader", report.pageHeader);
    insertBand(o, "pageFooter", report.pageFooter);
    insertBand(o, "summary", report.summary);
    QJsonArray data;
    for (const DataBand &d : report.data)
        data.append(dataJson(d));
    o.insert(QStringLiteral("data"), data);
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

bool fromJson(const QByteArray &json, Template *report, QString *error)
{
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    if (doc.isNull() || !doc.isObject()) {
        *error = QStringLiteral("不是本程序的报表模板");
        return false;
    }
    const QJsonObject o = doc.object();
    if (o.value(QStringLiteral("format")).toString() != kFormatName) {
        *error = QStringLiteral("不是本程序的报表模板");
        return false;
    }
    const int version = o.value(QStringLiteral("version")).toInt(-1);
    if (version > kFormatVersion) {
        *error = QStringLiteral("报表模板的版本（%1）比本程序（%2）新，请使用新版程序")
                     .arg(version)
                     .arg(kFormatVersion);
        return false;
    }
    if (version < 1) {
        *error = QStringLiteral("报表模板的版本无效");
        return false;
    }
    Template t;
    Reader r;
    QJsonObject page;
    QJsonArray margins;
    QJsonArray data;
    bool ok = r.object(o.value(QStringLiteral("page")), &page, QStringLiteral("page")) &&
              r.text(page, "paper", &t.page.paper, QStringLiteral("page")) &&
              r.flag(page, "landscape", &t.page.landscape, QStringLiteral("page")) &&
              r.number(page, "width", &t.page.width, QStringLiteral("page"), true) &&
              r.number(page, "height", &t.page.height, QStringLiteral("page"), true) &&
              r.array(page, "margins", &margins, QStringLiteral("page"));
    if (ok && page.contains(QStringLiteral("margins"))) {
        const bool numbers =
            margins.size() == 4 && std::all_of(margins.cbegin(), margins.cend(),
                                               [](const QJsonValue &v) { return v.isDouble(); });
        if (numbers)
            t.page.margins = QMarginsF(margins.at(0).toDouble(), margins.at(1).toDouble(),
                                       margins.at(2).toDouble(), margins.at(3).toDouble());
        else
            ok = r.fail(QStringLiteral("page"), QStringLiteral("margins 须是四个数值"));
    }
    if (ok && !pageProblem(t.page).isEmpty())
        ok = r.fail(QStringLiteral("page"), pageProblem(t.page));
    ok = ok && r.band(o, "title", &t.title, QString()) &&
         r.band(o, "pageHeader", &t.pageHeader, QString()) &&
         r.band(o, "pageFooter", &t.pageFooter, QString()) &&
         r.band(o, "summary", &t.summary, QString()) && r.array(o, "data", &data, QString());
    for (qsizetype i = 0; ok && i < data.size(); ++i) {
        DataBand d;
        ok = r.data(data.at(i), &d, QStringLiteral("data[%1]").arg(i), 0);
        t.data << d;
    }
    if (!ok) {
        *error = QStringLiteral("报表模板已损坏（%1）").arg(r.error);
        return false;
    }
    *report = std::move(t);
    return true;
}

bool load(const QString &path, Template *report, QString *error)
{
    QFile file;
    QString why;
    if (!openRegularFile(file, path, &why)) {
        *error = QStringLiteral("无法打开报表模板 %1：%2").arg(path, why);
        return false;
    }
    // No template comes near this; a larger file is something else.
    if (file.size() > 16 * 1024 * 1024) {
        *error = QStringLiteral("%1 不是本程序的报表模板").arg(path);
        return false;
    }
    QString reason;
    if (!fromJson(file.readAll(), report, &reason)) {
        *error = QStringLiteral("%1：%2").arg(path, reason);
        return false;
    }
    return true;
}

namespace {

bool keepBackup(const QString &path, QString *error)
{
    if (!QFileInfo::exists(path))
        return true;
    // The copy is made beside the old backup and only then takes its place, so a failing copy
    // leaves the old backup as it was.
    const QString backup = path + QStringLiteral(".bak");
    const QString copy = backup + QStringLiteral(".new");
    QFile::remove(copy);
    if (!QFile::copy(path, copy)) {
        QFile::remove(copy);
        *error = QStringLiteral("无法保留原模板 %1").arg(backup);
        return false;
    }
    QFile::remove(backup);
    if (!QFile::rename(copy, backup)) {
        QFile::remove(copy);
        *error = QStringLiteral("无法保留原模板 %1").arg(backup);
        return false;
    }
    return true;
}

} // namespace

bool save(const QString &path, const Template &report, QString *error)
{
    // The new text is written in full (and synced) before the old file is touched; a failure
    // on the way leaves the template as it was.
    QSaveFile file(path);
    const QByteArray json = toJson(report);
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.flush()) {
        *error = QStringLiteral("无法保存报表模板 %1：%2").arg(path, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!keepBackup(path, error)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = QStringLiteral("无法保存报表模板 %1：%2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace Report
