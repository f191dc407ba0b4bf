#pragma once

#include <QString>

class QWidget;

// Lets the user pick a node of the type tree `kind` ("type", "clttype", "suptype") with
// `current` (a stored F_type) preselected. Returns the chosen node's path on OK, `current`
// unchanged on cancel or for an unknown kind. The root cannot be chosen.
QString PickType(QWidget *parent, const QString &kind, const QString &current);
