#include "framework/itemdelegates.h"

#include "framework/numberlocale.h"

#include <text/stationtext.h>

#include <QComboBox>
#include <QDoubleValidator>
#include <QLineEdit>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Zemko {
namespace Trelvin {

namespace {

void fitEditor(QWidget* editor, const QStyleOptionViewItem& option)
{
    editor->setGeometry(option.rect);
}

// The text a number editor starts from.
QString numberText(const QModelIndex& index, int decimals)
{
    return QString::number(index.model()->data(index, Qt::EditRole).toDouble(), 'f', std::min(decimals, 10));
}

} // namespace

ComboBoxDelegate::ComboBoxDelegate(QObject* parent, QList<Item> items)
    : QStyledItemDelegate(parent)
    , items(std::move(items))
{
}

ComboBoxDelegate::~ComboBoxDelegate() = default;

QWidget* ComboBoxDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex&) const
{
    auto* combo = new QComboBox(parent);
    for (const Item& item : items)
        combo->addItem(item.first, item.second);
    return combo;
}

void ComboBoxDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* combo = static_cast<QComboBox*>(editor);
    const QVariant value = index.model()->data(index, Qt::EditRole);
    // A text that names no item must not leave the first item chosen, or committing would write it.
    if (value.type() == QVariant::String)
        combo->setCurrentIndex(combo->findText(value.toString()));
    else
        combo->setCurrentIndex(combo->findData(value, Qt::UserRole, Qt::MatchExactly));
}

void ComboBoxDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const
{
    auto* combo = static_cast<QComboBox*>(editor);
    if (combo->currentIndex() < 0)
        return;
    model->setData(index, combo->currentData(Qt::UserRole), Qt::EditRole);
}

void ComboBoxDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                            const QModelIndex&) const
{
    fitEditor(editor, option);
}

FloatNumEditDelegate::FloatNumEditDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
    , bottom(std::numeric_limits<double>::infinity())
    , top(std::numeric_limits<double>::infinity())
{
}

FloatNumEditDelegate::~FloatNumEditDelegate() = default;

QWidget* FloatNumEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                            const QModelIndex&) const
{
    auto* edit = new QLineEdit(parent);
    auto* validator = new QDoubleValidator(edit);
    validator->setLocale(numberLocale());
    if (std::isfinite(bottom))
        validator->setBottom(bottom);
    if (std::isfinite(top))
        validator->setTop(top);
    validator->setDecimals(decimals);
    edit->setValidator(validator);
    return edit;
}

void FloatNumEditDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    static_cast<QLineEdit*>(editor)->setText(numberText(index, decimals));
}

void FloatNumEditDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                        const QModelIndex& index) const
{
    const QString text = static_cast<QLineEdit*>(editor)->text();
    // An editor left as it started holds the value rounded: the cell keeps its own.
    if (text == numberText(index, decimals))
        return;
    bool ok = false;
    const double value = numberLocale().toDouble(text.trimmed(), &ok);
    // An emptied or half-typed field is no number; writing 0 for it would change the cell unasked.
    if (!ok)
        return;
    model->setData(index, value, Qt::EditRole);
}

void FloatNumEditDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                                const QModelIndex&) const
{
    fitEditor(editor, option);
}

LineEditDelegate::LineEditDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
{
}

LineEditDelegate::~LineEditDelegate() = default;

QWidget* LineEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex&) const
{
    auto* edit = new QLineEdit(parent);
    edit->setInputMask(inputMask);
    edit->setMaxLength(maxLength);
    return edit;
}

void LineEditDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    static_cast<QLineEdit*>(editor)->setText(index.model()->data(index, Qt::EditRole).toString());
}

void LineEditDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const
{
    const QString text = static_cast<QLineEdit*>(editor)->text();
    // An editor left as it started writes nothing: its text may show the value rounded.
    if (text == index.model()->data(index, Qt::EditRole).toString())
        return;
    model->setData(index, text, Qt::EditRole);
}

void LineEditDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                            const QModelIndex&) const
{
    fitEditor(editor, option);
}

StationEditDelegate::StationEditDelegate(QObject* parent)
    : LineEditDelegate(parent)
{
}

StationEditDelegate::~StationEditDelegate() = default;

QWidget* StationEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                           const QModelIndex&) const
{
    auto* edit = new QLineEdit(parent);
    edit->setValidator(new StationValidator(edit));
    return edit;
}

} // namespace Trelvin
} // namespace Zemko
