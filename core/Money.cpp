#include "core/Money.h"

#include <QSqlError>
#include <QSqlQuery>

namespace Money {

namespace {

// Each price column of the sample register beside its currency column.
const std::pair<const char *, const char *> kPrices[] = {
    {"F_CGprice", "F_CGtype"}, {"F_XSprice1", "F_XStype1"}, {"F_XSprice2", "F_XStype2"}};

} // namespace

QString currencyColumnOf(const QString &column)
{
    for (const auto &[price, currency] : kPrices) {
        if (column.compare(QLatin1String(price), Qt::CaseInsensitive) == 0)
            return QLatin1String(currency);
    }
    return {};
}

QStringList priceColumns()
{
    QStringList columns;
    for (const auto &[price, currency] : kPrices)
        columns << QLatin1String(price);
    return columns;
}

std::optional<double> convert(double amount, std::optional<double> fromRate,
                              std::optional<double> toRate)
{
    if (!fromRate || !toRate || *fromRate <= 0 || *toRate <= 0)
        return std::nullopt;
    // The factor first, as the database multiplies by it.
    return amount * (*toRate / *fromRate);
}

QString symbolOf(const QString &currency)
{
    static const QHash<QString, QString> symbols = {
        {QStringLiteral("人民币"), QStringLiteral("¥")},
        {QStringLiteral("美元"), QStringLiteral("$")},
        {QStringLiteral("欧元"), QStringLiteral("€")},
        {QStringLiteral("英镑"), QStringLiteral("£")},
        {QStringLiteral("日元"), QStringLiteral("JP¥")},
        {QStringLiteral("港币"), QStringLiteral("HK$")},
        {QStringLiteral("港元"), QStringLiteral("HK$")},
        {QStringLiteral("新台币"), QStringLiteral("NT$")},
        {QStringLiteral("韩元"), QStringLiteral("₩")},
        {QStringLiteral("澳元"), QStringLiteral("A$")},
        {QStringLiteral("加元"), QStringLiteral("C$")},
        {QStringLiteral("新加坡元"), QStringLiteral("S$")},
        {QStringLiteral("瑞士法郎"), QStringLiteral("CHF ")}};
    return symbols.value(currency.trimmed());
}

QString rateLookupSql()
{
    return QStringLiteral(
        "select F_rate from t_code where F_type = 'rate' and F_name = ? order by F_ID");
}

bool Rates::read(const QSqlDatabase &db, QString *error)
{
    m_rates.clear();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral(
            "select F_name, F_rate from t_code where F_type = 'rate' order by F_ID"))) {
        *error = q.lastError().text();
        return false;
    }
    while (q.next()) {
        // Of two rows with one name the first counts, as in the conversion dialog.
        const QString name = q.value(0).toString();
        if (!m_rates.contains(name))
            m_rates.insert(name, q.value(1).toDouble());
    }
    return true;
}

std::optional<double> Rates::rateOf(const QString &currency) const
{
    const auto it = m_rates.constFind(currency);
    if (it == m_rates.cend() || *it <= 0)
        return std::nullopt;
    return *it;
}

std::optional<double> Rates::toHome(double amount, const QString &currency) const
{
    if (currency == kHomeCurrency)
        return amount;
    return convert(amount, rateOf(currency), rateOf(kHomeCurrency));
}

namespace Sql {

QString withRates()
{
    // Materialized: the engine reads the rates once, not once per listed row. One row per
    // name, the first of its name; 人民币 converts at 1 whether it has a rate or not.
    return QStringLiteral(
               "with money_rates as materialized (select r.F_name as rate_currency, "
               "h.F_rate / r.F_rate as to_home from t_code r, (select F_rate from t_code "
               "where F_type = 'rate' and F_name = '%1' order by F_ID limit 1) h where "
               "r.F_type = 'rate' and r.F_name <> '%1' and r.F_rate > 0 and h.F_rate > 0 and "
               "r.F_ID = (select min(f.F_ID) from t_code f where f.F_type = 'rate' and "
               "f.F_name = r.F_name) union all select '%1', 1) ")
        .arg(kHomeCurrency);
}

QString rateJoin(const QString &row, const QString &currencyColumn, const QString &join)
{
    return QStringLiteral(" left join money_rates %1 on %1.rate_currency = %2.%3")
        .arg(join, row, currencyColumn);
}

QString homeAmount(const QString &row, const QString &priceColumn, const QString &join)
{
    return QStringLiteral("(%1.%2 * %3.to_home)").arg(row, priceColumn, join);
}

QString leftOut(const QString &row, const QString &priceColumn, const QString &join)
{
    return QStringLiteral("(case when %1.%2 <> 0 and %3.to_home is null then 1 else 0 end)")
        .arg(row, priceColumn, join);
}

} // namespace Sql

} // namespace Money
