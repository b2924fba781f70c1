#include "framework/columnfitter.h"

#include "framework/tablemodel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <QTableView>

#include <algorithm>

namespace Zemko {
namespace Trelvin {

ColumnFitter* ColumnFitter::attach(QTableView* view)
{
    return new ColumnFitter(view);
}

ColumnFitter::ColumnFitter(QTableView* view)
    : QObject(view)
    , m_view(view)
{
    const QAbstractItemModel* model = view->model();
    if (model) {
        connect(model, &QAbstractItemModel::modelReset, this, &ColumnFitter::fitAll);
        connect(model, &QAbstractItemModel::layoutChanged, this, &ColumnFitter::fitAll);
        connect(model, &QAbstractItemModel::rowsInserted, this,
                [this](const QModelIndex& parent, int first, int last) {
                    if (!parent.isValid())
                        widen(first, last, 0, m_view->model()->columnCount() - 1);
                });
        connect(model, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                    if (topLeft.isValid() && bottomRight.isValid() && !topLeft.parent().isValid())
                        widen(topLeft.row(), bottomRight.row(), topLeft.column(), bottomRight.column());
                });
    }
    view->installEventFilter(this);
    fitAll();
}

void ColumnFitter::fitAll()
{
    if (!m_view->isVisible()) {
        m_stale = true;
        return;
    }
    m_stale = false;
    // Texts differing only in their digits share a shape where the font sets every digit equally
    // wide: a column of stations or coordinates has a few dozen shapes in thousands of rows.
    const QFontMetrics metrics(m_view->font());
    const int digit = metrics.horizontalAdvance(QLatin1Char('0'));
    m_evenDigits = true;
    for (char c = '1'; c <= '9'; ++c)
        m_evenDigits = m_evenDigits && metrics.horizontalAdvance(QLatin1Char(c)) == digit;
    m_widths.clear();

    const QAbstractItemModel* model = m_view->model();
    for (int column = 0; column < model->columnCount(); ++column)
        m_view->setColumnWidth(column,
                               std::max(m_view->horizontalHeader()->sectionSizeHint(column),
                                        cellsWidth(0, model->rowCount() - 1, column)));
}

void ColumnFitter::widen(int top, int bottom, int first, int last)
{
    if (m_stale)
        return;
    if (!m_view->isVisible()) {
        m_stale = true;
        return;
    }
    const QAbstractItemModel* model = m_view->model();
    bottom = std::min(bottom, model->rowCount() - 1);
    last = std::min(last, model->columnCount() - 1);
    for (int column = std::max(first, 0); column <= last; ++column) {
        const int width
            = std::max({ m_view->columnWidth(column), m_view->horizontalHeader()->sectionSizeHint(column),
                         cellsWidth(std::max(top, 0), bottom, column) });
        if (width != m_view->columnWidth(column))
            m_view->setColumnWidth(column, width);
    }
}

int ColumnFitter::cellsWidth(int top, int bottom, int column)
{
    const QAbstractItemModel* model = m_view->model();
    const QFontMetrics metrics(m_view->font());
    const int padding = 2 * metrics.horizontalAdvance(QLatin1Char('X'));
    int width = 0;
    auto widen = [&](QString text) {
        if (m_evenDigits)
            for (QChar& c : text)
                if (c >= QLatin1Char('1') && c <= QLatin1Char('9'))
                    c = QLatin1Char('0');
        auto known = m_widths.constFind(text);
        if (known == m_widths.constEnd())
            known = m_widths.insert(text, metrics.horizontalAdvance(text) + padding);
        width = std::max(width, *known);
    };
    bool checkBox = false;
    const auto* table = qobject_cast<const TableModel*>(model);
    const QStringList candidates
        = m_evenDigits && table ? table->widestTextCandidates(column, top, bottom) : QStringList();
    if (candidates.isEmpty()) {
        for (int row = top; row <= bottom; ++row) {
            const QModelIndex index = model->index(row, column);
            widen(index.data(Qt::DisplayRole).toString());
            checkBox = checkBox || index.data(Qt::CheckStateRole).isValid();
        }
    } else {
        for (const QString& text : candidates)
            widen(text);
        for (int row = top; row <= bottom && !checkBox; ++row)
            checkBox = model->index(row, column).data(Qt::CheckStateRole).isValid();
    }
    if (!checkBox || width == 0)
        return width;
    // The check box sits before the text with margins of its own.
    const QStyle* style = m_view->style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_view) + 1;
    return width + style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, m_view) + 2 * margin;
}

bool ColumnFitter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && event->type() == QEvent::Show && m_stale)
        fitAll();
    return QObject::eventFilter(watched, event);
}

} // namespace Trelvin
} // namespace Zemko
