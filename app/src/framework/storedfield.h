#pragma once

#include "framework/textcell.h"

#include <QString>

class QLineEdit;

namespace Zemko {
namespace Trelvin {

// Dialog fields filled with stored values. A field shows its value as the dialog chooses, often
// rounded; as long as it shows the text it was filled with, it stands for the stored value itself, so
// that OK changes only what the user typed.
void showStored(QLineEdit* field, double value, const QString& shown);

// The field as a cell: the stored value while the field shows the text it was filled with, else the
// text it holds, to be read.
TextCell fieldCell(const QLineEdit* field);
// The stored value while the field shows the text it was filled with, else what was read from it.
double storedOr(const QLineEdit* field, double typed);

} // namespace Trelvin
} // namespace Zemko
