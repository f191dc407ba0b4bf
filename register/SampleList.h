#pragma once

#include "core/GridColumn.h"
#include "core/ListQuery.h"
#include "core/RecordList.h"
#include "core/SqlListModel.h"
#include "register/SampleListQuery.h"

#include <QList>

class TdmData;

// The key of the main list's stored layout in cfg_Grid.
inline const QString kSampleListLayoutKey = QStringLiteral("revazezmain");
// The title of the main list's worksheet when it is exported.
inline const QString kSampleListExportTitle = QStringLiteral("样品档案资料");
// The main list's columns before a stored layout replaces them: sums of the quantity and the
// prices in the footer.
QList<GridColumn> sampleListColumns();
// A column of the sample register titled `caption`, shown as the register shows it: dates
// centred, numbers right-aligned and summed in the footer.
GridColumn sampleColumn(const QString &field, const QString &caption);

// The sample list of the main window, which the editor, the record commands and everything
// that prints or exports read: what selects it (the filters' criteria or the advanced query's
// filter), the statements built from that, the rows and the current row.
class SampleList : public RecordList
{
    Q_OBJECT

public:
    explicit SampleList(TdmData &dm, QObject *parent = nullptr);

    // Lists what the main window's filters select. False when the statement failed.
    bool runCriteria(const SampleListCriteria &criteria,
                     SqlListModel::FirstPage firstPage = SqlListModel::FirstPage::Here);
    // Lists what the advanced query selects, until criteria are run again.
    bool runAdvanced(const SqlFilter &filter);
    bool isAdvanced() const { return m_advanced; }
    // The list's statement and the grouped ones of the reports, for what is listed now.
    const SampleListStatements &statements() const { return m_statements; }

    // A list never run yet runs the criteria it has (the whole register).
    bool reload() override;

    // The whole register as the list reads it, for work without a window.
    static ListQuery wholeRegister(const SqlDialect &dialect);

private:
    bool run(SqlListModel::FirstPage firstPage = SqlListModel::FirstPage::Here);

    TdmData &m_dm;
    SampleListCriteria m_criteria;
    SampleListStatements m_statements;
    bool m_advanced = false;
};
