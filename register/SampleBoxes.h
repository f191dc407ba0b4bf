#pragma once

#include <QVariant>

class QWidget;
struct SampleField;

// The box the sample editor gives a column (a code-list box, a number, a date …) and its value
// as a save writes it: the editor and the bulk edit share them.
QWidget *createSampleBox(const SampleField &field);
QVariant sampleBoxValue(const QWidget *box, const SampleField &field);
