#pragma once

#include <QStringView>

// The leading number of a text, read leniently: leading blanks skipped, an
// optional sign, digits and one decimal point up to the first other
// character; a text that does not begin with a number reads 0.
double leadingNumber(QStringView text);
