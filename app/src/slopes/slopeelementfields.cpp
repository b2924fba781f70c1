#include "slopes/slopeelementfields.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>

namespace Zemko {
namespace Trelvin {

using Refusal = Pelko::Road::SlopeSectionElement::Refusal;

QString slopeElementRefusalText(const Pelko::Road::SlopeSectionElement::StoredValues& values,
                                const QList<SlopeElementField>& fields)
{
    const Refusal refusal = Pelko::Road::SlopeSectionElement::refusal(values);
    if (!refusal)
        return QString();
    QString label;
    QString text;
    for (const SlopeElementField& f : fields) {
        if (f.field == refusal.field) {
            label = f.label->text();
            text = f.edit->text();
        }
    }
    const char* const context = "SlopeElementFields";
    switch (refusal.reason) {
    case Refusal::NameWithNul:
        return QCoreApplication::translate(context, "%1 holds a character the road file cannot keep!")
            .arg(label);
    case Refusal::NotFinite:
        return QCoreApplication::translate(context, "%1 \"%2\" is not a number!").arg(label, text);
    case Refusal::TooLarge:
        return QCoreApplication::translate(context, "%1 \"%2\" is too large: the element could not be saved!")
            .arg(label, text);
    case Refusal::TooSmall:
        return QCoreApplication::translate(context,
                                           "%1 \"%2\" is too small: a ditch needs at least a millimetre!")
            .arg(label, text);
    default:
        return QCoreApplication::translate(context, "The element could not be saved!");
    }
}

} // namespace Trelvin
} // namespace Zemko
