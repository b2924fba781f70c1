#pragma once

#include "framework/blocktablemodel.h"

#include <road/station.h>
#include <road/structureelementconfiguration.h>

#include <QList>
#include <QStringList>

namespace Zemko {
namespace Trelvin {

// The road's structures, one row each, edited cell by cell on a working copy that Apply (or a
// document save with edits) writes into the road.
class StructuralObjectTableModel : public BlockTableModel
{
    Q_OBJECT

public:
    enum Column {
        MileageColumn,
        TypeColumn,
        BuildTypeColumn,
        AngleColumn,
        ForwardWidthColumn,
        BackwardWidthColumn,
        LeftWidthColumn,
        RightWidthColumn,
        CenterHeightColumn,
        SlopeColumn,
        ColumnCount
    };

    explicit StructuralObjectTableModel(QObject* parent = nullptr);
    ~StructuralObjectTableModel() override;

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // mode: Qt::DisplayRole or Qt::EditRole.
    QVariant cellValue(int row, int column, int mode) const;
    Pelko::Road::StructureElementConfiguration structures() const { return m_working; }

    void appendElements(int count) override;
    void insertElements(int row, int count) override;
    // Blanks inside a cell's text become underscores, so that the block pastes back cell for cell.
    QList<QStringList> copyCells(int top, int left, int rowCount, int columnCount) const override;

protected:
    QVariant displayData(const QModelIndex& index) const override;
    QVariant editData(const QModelIndex& index) const override;
    QVariant columnTitle(int section) const override;
    int columns() const override;
    int rows() const override;
    void loadFromRoad() override;
    void removeRowAt(int row) override;
    // Not in the two type columns: types are never pasted, and a text that does not read leaves its
    // cell as it was.
    bool pastesAt(int column) const override;
    void pasteLine(int row, int column, const QStringList& cells) override;
    void writeIntoRoad(Pelko::Road::RoadSurface& road) override;

private:
    // Writes one cell from text; false, changing nothing, when the text does not read or the
    // structure refuses the value.
    bool writeCell(Pelko::Road::StructureElement& structure, int column, const QString& text) const;

    Pelko::Road::StructureElementConfiguration m_working;
};

} // namespace Trelvin
} // namespace Zemko
