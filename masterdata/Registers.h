#pragma once

#include "masterdata/RegisterWindow.h"

// The three registers: one window, three descriptions.
class TfrmCltMan : public RegisterWindow
{
    Q_OBJECT

public:
    explicit TfrmCltMan(QWidget *parent = nullptr) : RegisterWindow(clientRegister(), parent) {}
};

class TfrmSupMan : public RegisterWindow
{
    Q_OBJECT

public:
    explicit TfrmSupMan(QWidget *parent = nullptr) : RegisterWindow(supplierRegister(), parent) {}
};

class TfrmGoodMan : public RegisterWindow
{
    Q_OBJECT

public:
    explicit TfrmGoodMan(QWidget *parent = nullptr) : RegisterWindow(catalogueRegister(), parent) {}
};

// Runs a register's window modally over most of the screen.
void ShowRegister(QWidget *owner, const RegisterDescription &description);

// The name of the client (supplier) chosen, or `current` when the user cancels.
QString PickClient(QWidget *parent, const QString &current);
QString PickSupplier(QWidget *parent, const QString &current);
// The code of the catalogue entry chosen, with its fields (lower-case names) in `entry`; or
// `currentCode`, `entry` untouched, when the user cancels.
QString PickCatalogueEntry(QWidget *parent, const QString &currentCode, QVariantMap *entry);
