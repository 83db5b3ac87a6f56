#include "core/ui/number_fields.h"

#include <QDoubleValidator>
#include <QIntValidator>
#include <QLocale>

namespace {

// The C locale without group separators.
QLocale numberFieldLocale()
{
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    return c;
}

// A number field's validator that leaves a typed "," where it stands: a text holding one
// is refused key by key only when it would be no number without its commas either; any
// other is a finished entry, so the field's own check reads it once the field is left,
// and refuses it.
template <class Base>
class CommaKeepingValidator : public Base {
public:
    explicit CommaKeepingValidator(QObject* parent) : Base(parent) { this->setLocale(numberFieldLocale()); }
    QValidator::State validate(QString& input, int& pos) const override
    {
        if (!input.contains(QLatin1Char(',')))
            return Base::validate(input, pos);
        QString withoutCommas = input;
        withoutCommas.remove(QLatin1Char(','));
        int at = 0;
        return Base::validate(withoutCommas, at) == QValidator::Invalid ? QValidator::Invalid : QValidator::Acceptable;
    }
};

} // namespace

QDoubleValidator* numberFieldValidator(QObject* parent)
{
    return new CommaKeepingValidator<QDoubleValidator>(parent);
}

QIntValidator* wholeNumberFieldValidator(QObject* parent)
{
    return new CommaKeepingValidator<QIntValidator>(parent);
}
