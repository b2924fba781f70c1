#pragma once

#include "alignment/horizontalelementedit.h"
#include "framework/textrowtablemodel.h"

#include <road/horizontalelement.h>
#include <road/horizontalelementconfiguration.h>
#include <road/station.h>

#include <QList>
#include <QStringList>
#include <QVector>

namespace Zemko {
namespace Trelvin {

// The element table. It shows a working copy of the road's element chain until the first typed edit,
// then holds the rows as texts; they are checked and turned into elements on Apply (or on a document
// save, which refuses rows that do not check). Only what the user typed is read: a row left as it was
// is written back as the element it was built from. A write makes the road element-defined.
class HorizontalElementTableModel
    : public TextRowListModel<Pelko::Road::HorizontalElementConfiguration, HorizontalElementEdit>
{
    Q_OBJECT

public:
    enum Column {
        TypeColumn,
        MileageColumn,
        StartRadiusColumn,
        EndRadiusColumn,
        AzimuthColumn,
        LengthColumn,
        NorthColumn,
        EastColumn,
        DeflectionColumn,
        ColumnCount
    };

    explicit HorizontalElementTableModel(QObject* parent = nullptr);
    ~HorizontalElementTableModel() override;

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    QVariant cellValue(int column, int row, int role) const override;
    QStringList widestTextCandidates(int column, int top, int bottom) const override;
    Pelko::Road::HorizontalElementConfiguration elements() const;

    void appendElements(int count) override;
    void insertElements(int row, int count) override;

    void setElement(int row, const Pelko::Road::HorizontalElement& element);
    void appendElement(const Pelko::Road::HorizontalElement& element);
    void insertElement(int row, const Pelko::Road::HorizontalElement& element);

    // A place where the working chain does not join up: the element of the row begins more than a
    // millimetre from where the one before it ends (its fixed begin point is no longer reached), at the
    // station where the chain jumps by size metres.
    struct ChainJump
    {
        int row = -1;
        double station = 0.0;
        double size = 0.0;
    };
    QVector<ChainJump> chainJumps() const;
    // The chain a write would put into the road: the typed rows built into the working copy (false
    // when they do not check or are refused; the rows stay typed either way).
    bool buildPendingChain();

    // Checks every typed row and stores its numbers. On failure row and column name the cell.
    bool checkRows(int& row, int& column);
    // Builds the chain from the checked rows; the working copy is replaced only when every row
    // succeeded. Returns the refused row, or -1.
    int applyRows();

    static Pelko::Road::HorizontalElement createElement(int type, const Pelko::Corvex::Angle& azimuth,
                                                        double length, double startRadius, double endRadius,
                                                        const Pelko::Corvex::Point& point, double station);
    // Type and side from the two radii (a typed text that is no number is straight).
    static void deriveType(HorizontalElementEdit& record);
    static void deriveTurnDirection(HorizontalElementEdit& record);

protected:
    QVariant columnTitle(int section) const override;
    int columns() const override;
    // Pastes start in the start radius to east columns; cells beyond east are dropped.
    bool pastesAt(int column) const override;
    void pasteLine(int row, int column, const QStringList& cells) override;
    void writeIntoRoad(Pelko::Road::RoadSurface& road) override;
    void makeTextRows() override;
    bool buildFromTextRows() override;
    void loadWorkingCopy() override;

private:
    QVariant textCell(int column, int row, int role) const;
    QVariant roadCell(int column, int row, int role) const;
    // The text cells from the start radius to east; the radii also set type and side.
    static void setTextOf(HorizontalElementEdit& record, int column, const QString& text);
};

} // namespace Trelvin
} // namespace Zemko
