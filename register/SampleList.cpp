#include "register/SampleList.h"

#include "core/DataDm.h"
#include "core/SqlListModel.h"

SampleList::SampleList(TdmData &dm, QObject *parent) : RecordList(parent), m_dm(dm)
{
    // Typing never waits for a count over the whole register.
    model()->setCountInBackground(dm.source());
    model()->setKeyColumn(dm.dialect().pagingKeyColumn());
}

bool SampleList::runCriteria(const SampleListCriteria &criteria)
{
    m_criteria = criteria;
    m_advanced = false;
    m_statements = SampleListQuery::build(criteria, m_dm.dialect());
    return run();
}

bool SampleList::runAdvanced(const SqlFilter &filter)
{
    m_advanced = true;
    m_statements = SampleListQuery::build(filter);
    return run();
}

bool SampleList::run()
{
    return model()->setQuery(m_dm.database(), m_statements.listSql, m_statements.values);
}

bool SampleList::reload()
{
    return m_statements.listSql.isEmpty() ? runCriteria(m_criteria) : RecordList::reload();
}
