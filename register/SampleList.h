#pragma once

#include "core/RecordList.h"
#include "register/SampleListQuery.h"

class TdmData;

// The sample list of the main window, which the editor, the record commands and everything
// that prints or exports read: what selects it (the filters' criteria or the advanced query's
// filter), the statements built from that, the rows and the current row.
class SampleList : public RecordList
{
    Q_OBJECT

public:
    explicit SampleList(TdmData &dm, QObject *parent = nullptr);

    // Lists what the main window's filters select. False when the statement failed.
    bool runCriteria(const SampleListCriteria &criteria);
    // Lists what the advanced query selects, until criteria are run again.
    bool runAdvanced(const SqlFilter &filter);
    bool isAdvanced() const { return m_advanced; }
    // The list's statement and the grouped ones of the reports, for what is listed now.
    const SampleListStatements &statements() const { return m_statements; }

    // A list never run yet runs the criteria it has (the whole register).
    bool reload() override;

private:
    bool run();

    TdmData &m_dm;
    SampleListCriteria m_criteria;
    SampleListStatements m_statements;
    bool m_advanced = false;
};
