#pragma once

#include "masterdata/Pickers.h"
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
void showRegister(QWidget *owner, const RegisterDescription &description);
