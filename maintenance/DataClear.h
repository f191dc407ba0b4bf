#pragma once

#include <QList>
#include <QString>
#include <QVariantList>

class TdmData;

// Emptying whole tables of the register, and removing the blank rows an import may leave.
namespace DataClear {

// One table (or one type tree) the clearing window offers.
struct Choice
{
    QString caption;
    QString statement;
    QVariantList values;
};

// The nine choices in the order the window shows and clears them.
const QList<Choice> &choices();

// Runs the statements of the `chosen` choices (indexes into choices()) in their order, in one
// transaction: all of them or, with the database's reason in `error`, none.
bool clear(TdmData &dm, const QList<int> &chosen, QString *error);

// The register tables whose rows may be blank: the catalogue, clients, suppliers.
enum class Register { Catalogue, Clients, Suppliers };
// Deletes the rows of `which` without a code and without a name (empty or missing alike).
bool removeBlankRows(TdmData &dm, Register which, QString *error);

} // namespace DataClear
