#pragma once

#include "core/GridColumn.h"
#include "report/Labels.h"

#include <QList>
#include <QString>

// One search of a register list: a column matched by the typed text, or, when `codeKind` names
// a code list, by a value chosen from that list.
struct RegisterSearch
{
    QString caption;
    QString column;
    bool contains = false; // else starts with
    QString codeKind;
    bool scanned = false; // a code: Enter finds the entry whose column holds the text whole
};

// One box of a register editor.
struct RegisterField
{
    enum Kind { Text, Type, Code, Memo, WebSite, Email, UseFlag };

    QString column;
    QString caption;
    Kind kind = Text;
    QString objectName;
    int group = 0;       // group box, top to bottom
    QString codeKind;    // Code: the code list offered
    bool tabStop = true; // else reached by the mouse only
};

// What makes the client, supplier and catalogue registers differ: one window and one editor
// serve all three.
struct RegisterDescription
{
    QString table;
    QString listTitle;
    QString noun;       // what one entry is called in messages: 客户, 供应商, 样品
    QString objectName; // of the list window
    QString editorObjectName;
    QString treeKind;
    QString treeRoot;
    QString layoutKey;
    QList<RegisterSearch> searches;
    QList<GridColumn> columns;
    QList<RegisterField> fields;
    bool typeEditable = false; // else only the picker writes the type
    QString editorTitleNew;
    QString editorTitleEdit;
    QString emptyCodeMessage;
    QString duplicateCodeMessage;
    QString deleteQuestion; // followed by the name and "吗？"
    QString reportTemplate;
    Labels::Kind labels; // its label templates over the list (data set frDBDataSet1)
    QString exportTitle;
};

const RegisterDescription &clientRegister();
const RegisterDescription &supplierRegister();
const RegisterDescription &catalogueRegister();
