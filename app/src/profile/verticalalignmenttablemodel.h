#pragma once

#include "framework/elementcollection.h"
#include "framework/textrowtablemodel.h"
#include "profile/verticalelementedit.h"

#include <road/station.h>
#include <road/verticalalignment.h>

#include <QList>
#include <QStringList>

namespace Zemko {
namespace Trelvin {

// The profile table: the road's vertical PIs on a working copy until the first edit, then the rows as
// texts the user types freely. Typed rows are checked and turned into symmetric parabolas (a circular
// curve stays circular) only on Apply (or on a document save, which refuses rows that do not check);
// only what the user typed is read, and a row left as it was is written back as the element it was.
class VerticalAlignmentTableModel
    : public TextRowListModel<Pelko::Road::VerticalAlignment, VerticalElementEdit>
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

    QVariant cellValue(int column, int row, int role) const override;
    Pelko::Road::VerticalAlignment verticalAlignment() const;

    void appendElements(int count) override;
    void insertElements(int row, int count) override;

    // Checks every typed row and stores its numbers; on failure row and column name the cell.
    EditResult checkRows(int& row, int& column);
    // Builds the profile from the checked rows; the working copy is replaced only when every row
    // was taken. Returns the refused row, or -1.
    int applyRows(EditResult& result);
    EditResult setElement(int row, const Pelko::Road::VerticalElement& element);

    static QString modifyResultText(int code);

protected:
    QVariant columnTitle(int section) const override;
    int columns() const override;
    // Pastes start in the columns 0 to 2; texts for the computed columns are dropped.
    bool pastesAt(int column) const override;
    void pasteLine(int row, int column, const QStringList& cells) override;
    void writeIntoRoad(Pelko::Road::RoadSurface& road) override;
    void makeTextRows() override;
    bool buildFromTextRows() override;
    QString typedRowsRefusal() const override;
    void loadWorkingCopy() override;

private:
    VerticalElementEdit textRow(const Pelko::Road::VerticalElement& element) const;
    QVariant roadCell(int column, int row, int role) const;

    // Why the last build of the typed rows failed, naming the row.
    QString m_refusal;
};

} // namespace Trelvin
} // namespace Zemko
