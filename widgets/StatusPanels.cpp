#include "widgets/StatusPanels.h"

#include <QLabel>
#include <QStatusBar>

QStatusBar *createStatusPanels(const QList<int> &widths, bool lastOnRight, QList<QLabel *> *panels)
{
    auto *bar = new QStatusBar;
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    for (qsizetype i = 0; i < widths.size(); ++i) {
        auto *panel = new QLabel;
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setMinimumWidth(widths.at(i));
        const bool last = i == widths.size() - 1;
        if (last && lastOnRight)
            panel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        bar->addWidget(panel, last ? 1 : 0);
        *panels << panel;
    }
    return bar;
}
