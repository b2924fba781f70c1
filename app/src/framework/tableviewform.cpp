#include "framework/tableviewform.h"

#include "document/prompter.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMetaMethod>
#include <QRegExp>

namespace Zemko {
namespace Trelvin {

void setTooltipTracking(QWidget* tableWidget, bool enabled)
{
    auto* hint = tableWidget->findChild<QLabel*>(QStringLiteral("lblTooltip"));
    auto* view = tableWidget->findChild<QAbstractItemView*>(QStringLiteral("tableView"));
    if (hint) {
        hint->setVisible(enabled);
        hint->setText(QStringLiteral(" "));
    }

    const QMetaMethod pressed = QMetaMethod::fromSignal(&QAbstractItemView::pressed);
    const QMetaObject* widgetClass = tableWidget->metaObject();
    const int slot = widgetClass->indexOfSlot("onShowToolTip(QModelIndex)");
    const QMetaMethod showHint = slot < 0 ? QMetaMethod() : widgetClass->method(slot);
    // Once only, however often tracking is switched on.
    if (view && showHint.isValid())
        QObject::disconnect(view, pressed, tableWidget, showHint);
    if (!enabled)
        return;
    if (!view || !showHint.isValid() || !QObject::connect(view, pressed, tableWidget, showHint))
        Prompter::instance()->information(tableWidget, QString(),
                                          QCoreApplication::translate("TableViewWidget", "connect error!"),
                                          QMessageBox::Ok);
}

QString rowsToText(const Rows& rows)
{
    QList<int> widths;
    for (const QStringList& row : rows)
        for (int column = 0; column < row.size(); ++column) {
            if (column == widths.size())
                widths.append(0);
            widths[column] = std::max(widths[column], row.at(column).size());
        }
    for (int column = 0; column + 1 < widths.size(); ++column)
        widths[column] += 4;

    QString text;
    for (const QStringList& row : rows)
        for (int column = 0; column < row.size(); ++column) {
            if (column + 1 < row.size())
                text += QStringLiteral("%1").arg(row.at(column), -widths.at(column), QLatin1Char(' '));
            else
                text += QStringLiteral("%1\n").arg(row.at(column));
        }
    return text;
}

void copyToClipboard(const Rows& rows)
{
    QApplication::clipboard()->setText(rowsToText(rows), QClipboard::Clipboard);
}

Rows rowsFromText(const QString& text)
{
    Rows rows;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return rows;
    const QRegExp space(QStringLiteral("\\s+"), Qt::CaseSensitive);
    for (const QString& line : trimmed.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString cells = line.trimmed();
        if (!cells.isEmpty())
            rows.append(cells.split(space, Qt::KeepEmptyParts));
    }
    return rows;
}

void rowsFromClipboard(Rows& rows)
{
    rows.append(rowsFromText(QApplication::clipboard()->text(QClipboard::Clipboard)));
}

Rows rowsFromClipboard()
{
    return rowsFromText(QApplication::clipboard()->text(QClipboard::Clipboard));
}

bool isBlank(const Rows& rows, int n)
{
    for (const QStringList& row : rows) {
        const int count = n < 1 ? row.size() : std::min(n, row.size());
        for (int column = 0; column < count; ++column)
            if (!row.at(column).trimmed().isEmpty())
                return false;
    }
    return true;
}

} // namespace Trelvin
} // namespace Zemko
