#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class QTableView;

namespace Zemko {
namespace Trelvin {

// Keeps the columns of a table view at least as wide as their titles and the texts of their cells
// (with the check box of a cell that has one). The table models give every cell the same size hint,
// so the view cannot size its columns itself. All columns are fitted anew when the rows are reset; a
// column widens when rows are inserted or cells change (typed, pasted), never narrows then, so a
// width the user dragged wider stays. A hidden view is fitted when it is shown.
class ColumnFitter : public QObject
{
    Q_OBJECT

public:
    // Fits the view's model as it is now; owned by the view.
    static ColumnFitter* attach(QTableView* view);

    // Every column to its title and widest cell (at the next show when hidden).
    void fitAll();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ColumnFitter(QTableView* view);

    // Widens the columns first..last to the cells of rows top..bottom.
    void widen(int top, int bottom, int first, int last);
    // The widest text of the rows top..bottom in the column, with a check box when any has one.
    int cellsWidth(int top, int bottom, int column);

    QTableView* m_view;
    // Widths by text shape: shaping every cell's text costs far more than reading it.
    QHash<QString, int> m_widths;
    bool m_evenDigits = true;
    // The rows changed while the view was hidden.
    bool m_stale = false;
};

} // namespace Trelvin
} // namespace Zemko
