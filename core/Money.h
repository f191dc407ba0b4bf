#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

// Money in the sample register: which price goes with which currency column, the rates of the
// currency list (units of a currency per US dollar) and conversion between currencies. Sums of
// prices are always taken in one currency, 人民币, never across currencies.
namespace Money {

inline const QString kHomeCurrency = QStringLiteral("人民币");
// The footer caption of a row whose money sums are in kHomeCurrency.
inline const QString kHomeSumCaption = QStringLiteral("合计(人民币)");

// The currency column of a price column of the sample register (F_CGprice → F_CGtype …), matched
// without regard to case; empty for any other column.
QString currencyColumnOf(const QString &column);
// F_CGprice, F_XSprice1, F_XSprice2.
QStringList priceColumns();

// amount × rate(to) ÷ rate(from); none when either rate is missing or not above 0.
std::optional<double> convert(double amount, std::optional<double> fromRate,
                              std::optional<double> toRate);

// The sign written before an amount of `currency` ("¥" for 人民币, "$" for 美元 …); empty for a
// currency without a known sign.
QString symbolOf(const QString &currency);

// The statement that reads one currency's rate (its name bound): the first row of that name.
QString rateLookupSql();

// The rates of the currency list by name, as the sums and the conversion dialog read them.
class Rates
{
public:
    // False, with the reason, when the currency list cannot be read.
    bool read(const QSqlDatabase &db, QString *error);
    std::optional<double> rateOf(const QString &currency) const;
    // `amount` of `currency` in 人民币; none when either has no rate (人民币 itself needs none).
    std::optional<double> toHome(double amount, const QString &currency) const;

private:
    QHash<QString, double> m_rates;
};

// SQL pieces that sum prices in 人民币 over rows aliased `row`: the statement starts with
// withRates() and joins the rates once per currency column, as `join`.
namespace Sql {
QString withRates();
// "left join money_rates join on join.rate_currency = row.currencyColumn"
QString rateJoin(const QString &row, const QString &currencyColumn, const QString &join);
// The price in 人民币, null when its currency has no rate.
QString homeAmount(const QString &row, const QString &priceColumn, const QString &join);
// 1 for a row with a price whose currency has no rate, else 0.
QString leftOut(const QString &row, const QString &priceColumn, const QString &join);
} // namespace Sql

} // namespace Money
