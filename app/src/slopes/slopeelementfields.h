#pragma once

#include <road/slopesectionelement.h>

#include <QList>
#include <QString>

class QLabel;
class QLineEdit;

namespace Zemko {
namespace Trelvin {

// A field of an element dialog: the value it types, as the dialog labels and holds it.
struct SlopeElementField
{
    Pelko::Road::SlopeSectionElement::Field field;
    const QLabel* label;
    const QLineEdit* edit;
};

// The fields of the surface and of the platform group, laid out alike by both element dialogs.
template<typename Form> QList<SlopeElementField> surfaceFields(const Form& ui)
{
    using Field = Pelko::Road::SlopeSectionElement::Field;
    return { { Field::Name, ui.label, ui.edtSurfaceName },
             { Field::Height, ui.label_2, ui.edtSurfaceHeight },
             { Field::Ratio, ui.label_3, ui.edtSurfaceRate } };
}

template<typename Form> QList<SlopeElementField> platformFields(const Form& ui)
{
    using Field = Pelko::Road::SlopeSectionElement::Field;
    return { { Field::Name, ui.label_4, ui.edtPlatformName },
             { Field::Width, ui.label_5, ui.edtPlateformWidth },
             { Field::Slope, ui.label_6, ui.edtPlatformCrossSlope } };
}

// Why the road file would not keep the element typed, naming the field by its label and its text; empty
// when it keeps it.
QString slopeElementRefusalText(const Pelko::Road::SlopeSectionElement::StoredValues& values,
                                const QList<SlopeElementField>& fields);

} // namespace Trelvin
} // namespace Zemko
