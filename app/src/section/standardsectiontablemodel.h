#pragma once

#include "framework/tablemodel.h"

#include <road/crosssectionconfiguration.h>

namespace Zemko {
namespace Trelvin {

// The elements of one side of the standard section. The rows are the edit cache's configuration of
// that side itself, shared with the superelevation and widening editors, so every change here is at
// once a change of the cache.
class StandardSectionTableModel : public TableModel
{
    Q_OBJECT

public:
    // Side 0 is left, 1 right.
    StandardSectionTableModel(QObject* parent, int side);

    int side() const { return m_side; }
    Pelko::Road::CrossSectionConfiguration configuration() const { return m_configuration; }

    // Decorated puts the percent sign on the slope; the other columns ignore it.
    QString cellText(int row, int column, bool decorated) const;
    // The stored number of a cell at full precision (lengths in the display unit), so that a dialog
    // filled with it and accepted unchanged stores the same value; the name as it stands.
    QString editText(int row, int column) const;

    void append(const Pelko::Road::CrossSectionElement& element);
    void removeAt(int row);
    // Replaces the base element only; the row's superelevation and widening points stay.
    void setAt(int row, const Pelko::Road::CrossSectionElement& element);
    // This side becomes a copy of the other side as it stands in the cache, without its points.
    void mirrorFromOtherSide();

protected:
    QVariant displayData(const QModelIndex& index) const override;
    QVariant columnTitle(int section) const override;
    int columns() const override;
    int rows() const override;
    // Makes the road's side share this side's data and writes the road file; false without a road or
    // when the file could not be written.
    bool saveToRoad() override;
    void loadFromRoad() override;

private:
    bool hasRow(int row) const;

    int m_side;
    Pelko::Road::CrossSectionConfiguration m_configuration;
};

} // namespace Trelvin
} // namespace Zemko
