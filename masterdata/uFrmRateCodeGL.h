#pragma once

#include "masterdata/CodeListWindow.h"

// The currencies with their rates against one US dollar (the code list "rate").
class TfrmRateCodeGL : public CodeListWindow
{
    Q_OBJECT

public:
    explicit TfrmRateCodeGL(QWidget *parent = nullptr);
};
