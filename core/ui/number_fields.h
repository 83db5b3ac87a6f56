#pragma once
// Validators of the number fields. Typed numbers are read in the C locale whatever the
// desktop's (core/number_text.h), so the validators follow the reader: "." is the
// decimal point, and a field takes, key by key, only the characters of such a number,
// with one exception: a "," stays where it was typed. Dropping it would turn "1,5" into
// "15", a tenfold error without a word. A text holding a "," counts as a finished entry:
// leaving the field hands it to the field's own check like any other number, and the
// reader refuses it there with the field's message.
class QDoubleValidator;
class QIntValidator;
class QObject;

QDoubleValidator* numberFieldValidator(QObject* parent);
QIntValidator* wholeNumberFieldValidator(QObject* parent);
