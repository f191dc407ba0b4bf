#include "masterdata/uFrmCodeMan.h"

namespace {

CodeListDescription codeLists()
{
    CodeListDescription d;
    d.objectName = QStringLiteral("FrmCodeMan");
    d.title = QStringLiteral("选项设置...");
    d.tabs = {{QStringLiteral("tpinpai"), QStringLiteral("品    牌")},
              {QStringLiteral("tyanse"), QStringLiteral("颜    色")},
              {QStringLiteral("tcailiao"), QStringLiteral("材    料")},
              {QStringLiteral("tbaozhuang"), QStringLiteral("包    装")},
              {QStringLiteral("tunit"), QStringLiteral("单    位")},
              {QStringLiteral("tempname"), QStringLiteral("业 务 员")}};
    d.columns = {{QStringLiteral("F_Name"), QString(), false, QString()}};
    d.deleteQuestion = [](const QString &tabCaption, const QString &name) {
        return QStringLiteral("真的要删除 \"") + tabCaption + u'"' + name + QStringLiteral("吗？");
    };
    return d;
}

} // namespace

TFrmCodeMan::TFrmCodeMan(QWidget *parent) : CodeListWindow(codeLists(), parent) {}
