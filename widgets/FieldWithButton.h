#pragma once

#include <QHBoxLayout>
#include <QWidget>

// A box with its picker or action button right beside it, as one cell of a form.
inline QWidget *withButton(QWidget *field, QWidget *button)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(field, 1);
    layout->addWidget(button);
    return row;
}
