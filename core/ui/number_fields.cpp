#include "core/ui/number_fields.h"

#include <QDoubleValidator>
#include <QIntValidator>

QLocale numberFieldLocale()
{
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    return c;
}

QDoubleValidator* numberFieldValidator(QObject* parent)
{
    auto* validator = new QDoubleValidator(parent);
    validator->setLocale(numberFieldLocale());
    return validator;
}

QIntValidator* wholeNumberFieldValidator(QObject* parent)
{
    auto* validator = new QIntValidator(parent);
    validator->setLocale(numberFieldLocale());
    return validator;
}
