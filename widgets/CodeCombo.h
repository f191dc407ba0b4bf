#pragma once

#include "core/CodeListValues.h"

#include <QComboBox>

// An editable combo box that offers a code list and reads it again each time it is entered,
// so names added meanwhile are there; what was typed stays.
class CodeCombo : public QComboBox
{
    Q_OBJECT

public:
    CodeCombo(const QString &kind, QWidget *parent = nullptr);

    void showPopup() override;

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    void refill();

    QString m_kind;
};
