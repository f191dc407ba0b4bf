#include "masterdata/Registers.h"

#include "widgets/PlaceForm.h"

namespace {

QString pickName(RegisterWindow &window, const QString &current)
{
    PlaceForm(&window, 2);
    const std::optional<QVariantMap> row = window.pickRow();
    return row ? row->value(QStringLiteral("f_name")).toString() : current;
}

} // namespace

void showRegister(QWidget *owner, const RegisterDescription &description)
{
    RegisterWindow window(description, owner);
    PlaceForm(&window, 2);
    window.exec();
}

QString PickClient(QWidget *parent, const QString &current)
{
    TfrmCltMan window(parent);
    return pickName(window, current);
}

QString PickSupplier(QWidget *parent, const QString &current)
{
    TfrmSupMan window(parent);
    return pickName(window, current);
}

QString PickCatalogueEntry(QWidget *parent, const QString &currentCode, QVariantMap *entry)
{
    TfrmGoodMan window(parent);
    PlaceForm(&window, 2);
    const std::optional<QVariantMap> row = window.pickRow();
    if (!row)
        return currentCode;
    *entry = *row;
    return row->value(QStringLiteral("f_code")).toString();
}
