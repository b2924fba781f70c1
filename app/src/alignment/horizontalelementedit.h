#pragma once

#include "framework/textcell.h"

#include <road/horizontalelement.h>

#include <QString>

namespace Zemko {
namespace Trelvin {

// One typed row of the element table. Numbers are metres, the azimuth radians; texts are in the display
// unit. A row built from an element holds the element's values in its cells and the element itself:
// while none of its cells, tick boxes or its side is changed the row stands for the element unchanged.
// A left turn shows its radii negative.
struct HorizontalElementEdit
{
    // A line of 100 at azimuth 0 from (0, 0), neither azimuth nor point fixed: texts to be read.
    HorizontalElementEdit();
    explicit HorizontalElementEdit(const Pelko::Road::HorizontalElement& element);

    void setType(int value);
    void setTurnDirection(int direction);

    static bool isStraight(double radius);
    // The magnitude of a radius as the row stores it: 0 for a straight.
    static double storedRadius(double radius);

    // Whether the row is its element as it was: built from one and nothing of it changed since.
    bool isUnchanged() const;

    QString typeText;
    int type = 1;
    TextCell mileage;
    TextCell startRadius;
    TextCell endRadius;
    bool azimuthFixed = false;
    TextCell azimuth;
    TextCell length;
    bool pointFixed = false;
    TextCell north;
    TextCell east;
    QString turnText;
    int turnDirection = 0;
    // The element the row was built from; null for a new row.
    Pelko::Road::HorizontalElement source;
};

} // namespace Trelvin
} // namespace Zemko
