#pragma once
// The result formatter with the decimal separator of the user's locale, for
// the Qt parts of the program (both windows and the terminal report).

#include "format/ResultFormat.h"

#include <QLocale>

namespace format {

inline ResultFormatter localeFormatter() { return ResultFormatter(QLocale().decimalPoint().toStdString()); }

}  // namespace format
