#pragma once

#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>

// Whether the view shows the cell's text whole: the room the style leaves the text (beside the
// check box of a cell that has one, within the text margins) holds it without eliding.
inline bool shownWhole(const QTableView* view, const QModelIndex& index)
{
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.rect = QRect(0, 0, view->columnWidth(index.column()), view->rowHeight(index.row()));
    option.features = QStyleOptionViewItem::HasDisplay;
    option.text = index.data(Qt::DisplayRole).toString();
    const QVariant check = index.data(Qt::CheckStateRole);
    if (check.isValid()) {
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        option.checkState = Qt::CheckState(check.toInt());
    }
    const QStyle* style = view->style();
    const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &option, view);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    return text.width() - 2 * margin >= view->fontMetrics().horizontalAdvance(option.text);
}

// Every title and every cell of the view shown whole; fills the first cell that is not.
inline bool allShownWhole(const QTableView* view, QModelIndex* cut = nullptr)
{
    const QAbstractItemModel* model = view->model();
    for (int column = 0; column < model->columnCount(); ++column) {
        if (view->columnWidth(column) < view->horizontalHeader()->sectionSizeHint(column)) {
            if (cut)
                *cut = model->index(-1, column);
            return false;
        }
        for (int row = 0; row < model->rowCount(); ++row)
            if (!shownWhole(view, model->index(row, column))) {
                if (cut)
                    *cut = model->index(row, column);
                return false;
            }
    }
    return true;
}
