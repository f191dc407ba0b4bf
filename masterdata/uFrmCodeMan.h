#pragma once

#include "masterdata/CodeListWindow.h"

// The code lists of brands, colours, materials, packings, units and salesmen, one tab each.
class TFrmCodeMan : public CodeListWindow
{
    Q_OBJECT

public:
    explicit TFrmCodeMan(QWidget *parent = nullptr);
};
