#include "register/SampleList.h"

#include "core/DataDm.h"
#include "core/SqlListModel.h"
#include "register/SampleFields.h"

GridColumn sampleColumn(const QString &field, const QString &caption)
{
    GridColumn column;
    column.field = field;
    column.caption = caption;
    if (const SampleField *f = sampleField(field)) {
        column.displayFormat = f->displayFormat;
        if (f->kind == SampleField::Date) {
            column.alignment = GridColumn::Centre;
        } else if (f->kind == SampleField::Number) {
            column.alignment = GridColumn::Right;
            column.footerType = GridColumn::Sum;
        }
    }
    return column;
}

QList<GridColumn> sampleListColumns()
{
    const char *columns[] = {"F_goodCode", "F_goodName",  "F_spec",    "F_type",      "F_pinPai",
                             "F_yanSE",    "F_caiLiao",   "F_tiji",    "F_baoZhuang", "F_amount",
                             "F_CGdate",   "F_CGsuppler", "F_CGunit",  "F_CGprice",   "F_CGtype",
                             "F_XSdate",   "F_XSclient",  "F_XSunit1", "F_XSprice1",  "F_XStype1",
                             "F_XSunit2",  "F_XSprice2",  "F_XStype2", "F_memo1"};
    QList<GridColumn> list;
    for (const char *name : columns) {
        const SampleField *field = sampleField(QLatin1String(name));
        list << sampleColumn(field->column, field->caption);
    }
    list.first().footerType = GridColumn::StaticText;
    list.first().footerValue = QStringLiteral("合计");
    return list;
}

SampleList::SampleList(TdmData &dm, QObject *parent) : RecordList(parent), m_dm(dm)
{
    // Typing never waits for a count over the whole register.
    model()->setCountInBackground(dm.source());
}

bool SampleList::runCriteria(const SampleListCriteria &criteria, SqlListModel::FirstPage firstPage)
{
    m_criteria = criteria;
    m_advanced = false;
    m_statements = SampleListQuery::build(criteria, m_dm.dialect());
    return run(firstPage);
}

bool SampleList::runAdvanced(const SqlFilter &filter)
{
    m_advanced = true;
    m_statements = SampleListQuery::build(filter);
    return run();
}

bool SampleList::run(SqlListModel::FirstPage firstPage)
{
    ListQuery query;
    query.select = m_statements.listSql;
    query.values = m_statements.values;
    // Ordered by the key on both engines: the last page is read backwards and a saved record
    // is found by counting the rows after it, both through the key's index.
    query.keyColumn = QStringLiteral("F_ID");
    query.plainScan = m_statements.plainScan;
    return model()->setQuery(m_dm.database(), query, firstPage);
}

ListQuery SampleList::wholeRegister(const SqlDialect &dialect)
{
    const SampleListStatements statements = SampleListQuery::build(SampleListCriteria{}, dialect);
    ListQuery query;
    query.select = statements.listSql;
    query.values = statements.values;
    query.keyColumn = dialect.pagingKeyColumn();
    return query;
}

bool SampleList::reload()
{
    return m_statements.listSql.isEmpty() ? runCriteria(m_criteria) : RecordList::reload();
}
