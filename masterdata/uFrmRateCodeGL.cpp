#include "masterdata/uFrmRateCodeGL.h"

namespace {

CodeListDescription currencies()
{
    CodeListDescription d;
    d.objectName = QStringLiteral("frmRateCodeGL");
    d.title = QStringLiteral("汇率设置...");
    d.kind = QStringLiteral("rate");
    d.bandText = QStringLiteral("基准汇率：1美元");
    d.columns = {{QStringLiteral("F_Name"), QStringLiteral("币    种"), false, QString()},
                 {QStringLiteral("F_rate"), QStringLiteral("汇    率"), true,
                  QStringLiteral(",0.000;-,0.000")}};
    d.deleteQuestion = [](const QString &, const QString &name) {
        return QStringLiteral("真的要删除币种 “") + name + QStringLiteral("”吗？");
    };
    return d;
}

} // namespace

TfrmRateCodeGL::TfrmRateCodeGL(QWidget *parent) : CodeListWindow(currencies(), parent) {}
