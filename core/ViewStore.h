#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <optional>

// A named view of a list window: what its owner saved (criteria, order, columns) as text.
struct SavedView
{
    qint64 id = 0;
    QString owner; // the operator who saved it
    QString window;
    QString name;
    bool shared = false; // offered to every operator
    QString value;
};

// Named views kept in cfg_view, so they follow their operator to any workstation.
namespace ViewStore {

// The views of `window` that `operatorName` may choose: his own and those shared by others,
// by name.
std::optional<QList<SavedView>> list(const QSqlDatabase &db, const QString &window,
                                     const QString &operatorName, QString *error);
// The view `name` of `owner` in `window`, if there is one.
std::optional<SavedView> find(const QSqlDatabase &db, const QString &window, const QString &owner,
                              const QString &name, QString *error);
// Stores `view`, replacing the owner's view of the same name in the same window.
bool save(const QSqlDatabase &db, const SavedView &view, QString *error);
// Removes view `id`; only its owner or admin may. False with the reason otherwise.
bool remove(const QSqlDatabase &db, qint64 id, const QString &operatorName, QString *error);

} // namespace ViewStore
