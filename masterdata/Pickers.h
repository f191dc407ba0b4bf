#pragma once

#include <QString>
#include <QVariantMap>

class QWidget;

// Choosing an entry of a register in its window, for the boxes that hold one.

// The name of the client (supplier) chosen, or `current` when the user cancels.
QString PickClient(QWidget *parent, const QString &current);
QString PickSupplier(QWidget *parent, const QString &current);
// The code of the catalogue entry chosen, with its fields (lower-case names) in `entry`; or
// `currentCode`, `entry` untouched, when the user cancels.
QString PickCatalogueEntry(QWidget *parent, const QString &currentCode, QVariantMap *entry);
