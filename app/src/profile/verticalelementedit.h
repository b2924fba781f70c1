#pragma once

#include "framework/textcell.h"

#include <road/verticalelement.h>

#include <QString>

namespace Zemko {
namespace Trelvin {

// One typed row of the vertical alignment table: seven cells, each the text the table shows and
// edits and the number behind it (metres, continuous station, grades as ratios). A row built from an
// element holds the element itself too: while none of its cells is typed the row stands for it.
class VerticalElementEdit
{
public:
    enum Cell { Mileage, Height, Radius, InGrade, OutGrade, InTangent, OutTangent, CellCount };

    VerticalElementEdit() = default;
    // Every cell from the element; the mileage text is the continuous station without "A".
    explicit VerticalElementEdit(const Pelko::Road::VerticalElement& element);

    // The element the row was built from; null for a new row.
    const Pelko::Road::VerticalElement& source() const { return m_source; }
    // Whether the row is its element as it was: built from one and no cell typed since.
    bool isUnchanged() const;

    QString text(int cell) const;
    // What the user typed; the text the cell already shows changes nothing.
    void setText(int cell, const QString& text);
    double number(int cell) const;
    // The number alone: the text stays as the user typed it, so that checking again reads the same.
    void setNumber(int cell, double value);
    // An empty cell outside the row.
    const TextCell& cell(int cell) const;

    // Number and text, the text in the display unit.
    void setMileage(double station, bool after);
    void setHeight(double meters);
    void setRadius(double meters);

private:
    static bool isCell(int cell) { return cell >= 0 && cell < CellCount; }

    TextCell cells[CellCount];
    Pelko::Road::VerticalElement m_source;
};

} // namespace Trelvin
} // namespace Zemko
