#pragma once

#include "core/SqlFilter.h"

#include <QList>
#include <QString>
#include <optional>

// One column of the sample register as the program presents it: its caption in lists, its
// box in the editor and the advanced query, what fills it from the catalogue. The record
// writer, the editor, the advanced query and the lists all read this one description.
struct SampleField
{
    enum Kind { Text, Code, Number, Date, Memo, EditDate };

    QString column;
    QString caption; // list titles and the detail tabs
    QString label;   // before the editor's and the advanced query's box
    Kind kind = Text;
    QString codeKind;      // Code: the code list offered; empty for the fixed secrecy levels
    QString objectName;    // of the box in the editor and in the advanced query
    QString displayFormat; // how lists show the value
    std::optional<SqlFilter::Match> advancedMatch; // a criterion of the advanced query
    QString catalogueColumn; // the catalogue's column copied in when an entry is picked

    bool isTabStop() const { return kind == Text || kind == Code || kind == Number; }
};

// Every column the editor writes, in the editor's tab order.
const QList<SampleField> &sampleFields();
// Null for a column the description does not hold.
const SampleField *sampleField(const QString &column);
// The column's caption, or the column's name when the description does not hold it.
QString sampleCaption(const QString &column);
