#pragma once

#include <QList>
#include <QStringList>

class QWidget;

namespace Zemko {
namespace Trelvin {

using Rows = QList<QStringList>;

// Shows or hides the hint line of a widget built on the shared table form, and while shown puts the
// hint of the pressed column there through the widget's slot onShowToolTip(QModelIndex).
void setTooltipTracking(QWidget* tableWidget, bool enabled);

// Rows of cells as text: cells padded to their column's width plus a gap of four, every row ending in
// a line feed.
QString rowsToText(const Rows& rows);
void copyToClipboard(const Rows& rows);

// The clipboard text as rows: lines split at white space; blank lines skipped. The first form appends
// to the list it is given.
void rowsFromClipboard(Rows& rows);
Rows rowsFromClipboard();
Rows rowsFromText(const QString& text);

// No cell of the first n columns (every column when n < 1) holds more than white space.
bool isBlank(const Rows& rows, int n);

} // namespace Trelvin
} // namespace Zemko
