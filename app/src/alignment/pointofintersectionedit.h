#pragma once

#include "framework/textcell.h"

#include <road/pointofintersection.h>

#include <QString>

namespace Zemko {
namespace Trelvin {

// One typed row of the PI table: the kind and a cell for each column from the station to the end
// radius (the text shown and the number behind it), and the texts of the computed columns. Lengths
// are metres; texts are in the display unit. A row built from a road PI holds the PI's values in its
// cells and the PI itself: while none of its cells is typed the row stands for the PI unchanged.
class PointOfIntersectionEdit
{
public:
    // The typed cells, in the order of the table's columns.
    enum Cell {
        Station,
        North,
        East,
        InSpiralLength,
        Radius,
        OutSpiralLength,
        StartRadius,
        EndRadius,
        CellCount
    };

    // A point row with empty texts, to be read.
    PointOfIntersectionEdit();
    explicit PointOfIntersectionEdit(const Pelko::Road::PointOfIntersection& pi);

    int curveType() const { return m_curveType; }
    QString curveTypeText() const { return m_curveTypeText; }
    void setCurveType(int kind);

    // An empty cell outside Station .. EndRadius.
    const TextCell& cell(int cell) const;
    TextCell& cell(int cell);
    QString text(int c) const { return cell(c).text(); }
    double number(int c) const { return cell(c).number(); }

    QString stationText() const { return text(Station); }
    QString northText() const { return text(North); }
    void setNorthText(const QString& text) { cell(North).type(text); }

    QString curveLengthText() const { return m_curveLengthText; }
    QString inTangentLengthText() const { return m_inTangentLengthText; }
    QString outTangentLengthText() const { return m_outTangentLengthText; }

    // The PI the row was built from; null for a new row.
    const Pelko::Road::PointOfIntersection& source() const { return m_source; }
    // Whether the row is its PI as it was: built from one and no cell typed since.
    bool isUnchanged() const;

    // Radii: a straight (infinite or below 0.0001) is stored as 0 and shown as the infinity sign.
    static double straightAsZero(double radius);

private:
    QString m_curveTypeText;
    int m_curveType = 0;
    TextCell m_cells[CellCount];
    QString m_curveLengthText;
    QString m_inTangentLengthText;
    QString m_outTangentLengthText;
    Pelko::Road::PointOfIntersection m_source;
    bool m_fromRoad = false;
};

} // namespace Trelvin
} // namespace Zemko
