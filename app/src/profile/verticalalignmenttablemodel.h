#pragma once

#include "framework/elementcollection.h"
#include "framework/tablemodel.h"
#include "profile/verticalelementedit.h"

#include <road/station.h>
#include <road/verticalalignment.h>

#include <QList>
#include <QStringList>

namespace Zemko {
namespace Trelvin {

// The profile table: the road's vertical PIs on a working copy until the first edit, then the rows as
// texts the user types freely. Typed rows are checked and turned into symmetric parabolas only on
// Apply (or on a document save, which refuses rows that do not check).
class VerticalAlignmentTableModel : public TableModel
{
    Q_OBJECT

public:
    struct EditResult
    {
        bool ok = true;
        QString message;
    };

    explicit VerticalAlignmentTableModel(QObject* parent = nullptr);
    ~VerticalAlignmentTableModel() override;

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    QVariant cellValue(int column, int row, int role) const;
    Pelko::Road::VerticalAlignment verticalAlignment() const;
    bool isTextRowMode() const { return m_textRows; }

    void appendElements(int count);
    void insertElements(int row, int count);
    void removeElements(int row, int count);

    QList<QStringList> copyCells(int top, int left, int rowCount, int columnCount) const;
    // Texts from column (0 to 2) on; texts for the computed columns are dropped; rows added as needed.
    void pasteCells(int row, int column, const QList<QStringList>& lines);

    // Checks every typed row and stores its numbers; on failure row and column name the cell.
    EditResult checkRows(int& row, int& column);
    // Builds the profile from the checked rows; the working copy is replaced only when every row
    // was taken. Returns the refused row, or -1.
    int applyRows(EditResult& result);
    EditResult setElement(int row, const Pelko::Road::VerticalElement& element);

    static QString modifyResultText(int code);

protected:
    QVariant displayData(const QModelIndex& index) const override;
    QVariant editData(const QModelIndex& index) const override;
    QVariant backgroundData(const QModelIndex& index) const override;
    QVariant columnTitle(int section) const override;
    int columns() const override;
    int rows() const override;
    bool saveToRoad() override;
    void loadFromRoad() override;

private:
    void switchToTextRows();
    void leaveTextRows();
    VerticalElementEdit textRow(const Pelko::Road::VerticalElement& element) const;
    QVariant roadCell(int column, int row, int role) const;

    Pelko::Road::VerticalAlignment m_working;
    ElementCollection<VerticalElementEdit> m_rows;
    bool m_textRows = false;
};

} // namespace Trelvin
} // namespace Zemko
