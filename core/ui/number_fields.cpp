#include "core/ui/number_fields.h"

#include <QDoubleValidator>
#include <QIntValidator>

namespace {

// The state of a text holding a ",": one that would be no number even without its
// commas is refused key by key as before; any other is a finished entry, so that the
// field's own check reads it as soon as the field is left, and refuses it.
template <class Base>
QValidator::State withCommas(const Base& validator, const QString& input)
{
    QString withoutCommas = input;
    withoutCommas.remove(QLatin1Char(','));
    int pos = 0;
    return validator.Base::validate(withoutCommas, pos) == QValidator::Invalid ? QValidator::Invalid
                                                                               : QValidator::Acceptable;
}

class RealFieldValidator : public QDoubleValidator {
public:
    explicit RealFieldValidator(QObject* parent) : QDoubleValidator(parent) { }
    State validate(QString& input, int& pos) const override
    {
        if (input.contains(QLatin1Char(',')))
            return withCommas<QDoubleValidator>(*this, input);
        return QDoubleValidator::validate(input, pos);
    }
};

class WholeFieldValidator : public QIntValidator {
public:
    explicit WholeFieldValidator(QObject* parent) : QIntValidator(parent) { }
    State validate(QString& input, int& pos) const override
    {
        if (input.contains(QLatin1Char(',')))
            return withCommas<QIntValidator>(*this, input);
        return QIntValidator::validate(input, pos);
    }
};

} // namespace

QLocale numberFieldLocale()
{
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    return c;
}

QDoubleValidator* numberFieldValidator(QObject* parent)
{
    auto* validator = new RealFieldValidator(parent);
    validator->setLocale(numberFieldLocale());
    return validator;
}

QIntValidator* wholeNumberFieldValidator(QObject* parent)
{
    auto* validator = new WholeFieldValidator(parent);
    validator->setLocale(numberFieldLocale());
    return validator;
}
