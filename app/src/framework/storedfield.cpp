#include "framework/storedfield.h"

#include <QLineEdit>
#include <QVariant>

namespace Zemko {
namespace Trelvin {

namespace {

// The field keeps what it was filled with beside its text.
const char* const storedValueProperty = "trelvinStoredValue";
const char* const storedTextProperty = "trelvinStoredText";

} // namespace

void showStored(QLineEdit* field, double value, const QString& shown)
{
    field->setText(shown);
    field->setProperty(storedValueProperty, value);
    field->setProperty(storedTextProperty, shown);
}

TextCell fieldCell(const QLineEdit* field)
{
    const QVariant value = field->property(storedValueProperty);
    if (value.isValid() && field->text() == field->property(storedTextProperty).toString())
        return TextCell::stored(value.toDouble(), field->text());
    return TextCell::typed(field->text());
}

double storedOr(const QLineEdit* field, double typed)
{
    const TextCell cell = fieldCell(field);
    return cell.isStored() ? cell.number() : typed;
}

} // namespace Trelvin
} // namespace Zemko
