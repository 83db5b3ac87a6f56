#pragma once
// Validators of the number fields. Typed numbers are read in the C locale whatever the
// desktop's, so the validators accept what the readers accept and no more: "." is the
// decimal point, and "1,5" or "1,000" are no numbers.
#include <QLocale>

class QDoubleValidator;
class QIntValidator;
class QObject;

// The C locale without group separators.
QLocale numberFieldLocale();

QDoubleValidator* numberFieldValidator(QObject* parent);
QIntValidator* wholeNumberFieldValidator(QObject* parent);
