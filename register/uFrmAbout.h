#pragma once

#include <QDialog>

// "关于我们": the product, its version and where to find help.
class TFrmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit TFrmAbout(QWidget *parent = nullptr);
};
