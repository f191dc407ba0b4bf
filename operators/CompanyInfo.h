#pragma once

#include <QStringList>
#include <QVariantMap>
#include <optional>

class TdmData;

// The user's company: the one row of SysInfo.
namespace CompanyInfo {

// The columns the company window shows and saves, in its order.
const QStringList &columns();

// Column → text of the row; empty texts when the table holds none.
std::optional<QVariantMap> load(TdmData &dm, QString *error);
// Writes the columns in `values` into the row (made when there is none), all or nothing; a
// column left out keeps what the row holds.
bool save(TdmData &dm, const QVariantMap &values, QString *error);

} // namespace CompanyInfo
