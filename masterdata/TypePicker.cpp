#include "masterdata/TypePicker.h"

#include "masterdata/TreeCodeView.h"
#include "masterdata/uFrmTreeCodeMan.h"

QString PickType(QWidget *parent, const QString &kind, const QString &current)
{
    const TreeKind *tree = treeKindByFlag(kind);
    if (!tree)
        return current;
    TFrmTreeCodeMan window(parent);
    window.SetMode(tree->pickerMode);
    return window.PickType(current);
}
