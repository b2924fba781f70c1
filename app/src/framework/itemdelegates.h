#pragma once

#include <QList>
#include <QPair>
#include <QStyledItemDelegate>
#include <QVariant>

namespace Zemko {
namespace Trelvin {

// The cell editors of the editor tables. A delegate only moves values between its editor and the
// model's edit role; the model's setData decides whether a value stands. An editor holding no usable
// value, or still holding the text it started from, writes nothing, so the cell keeps what it had.

// A choice from a fixed list; writes the chosen item's value.
class ComboBoxDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // The text shown and the value written to the model.
    using Item = QPair<QString, QVariant>;

    ComboBoxDelegate(QObject* parent, QList<Item> items);
    ~ComboBoxDelegate() override;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

private:
    QList<Item> items;
};

// A number, read in the C locale like every number the user types.
class FloatNumEditDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit FloatNumEditDelegate(QObject* parent = nullptr);
    ~FloatNumEditDelegate() override;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

private:
    int decimals = 1000;
    // An infinite bound is not set.
    double bottom;
    double top;
};

// Free text.
class LineEditDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit LineEditDelegate(QObject* parent = nullptr);
    ~LineEditDelegate() override;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

private:
    int maxLength = 32767;
    QString inputMask;
};

// Station text, checked by the station validator.
class StationEditDelegate : public LineEditDelegate
{
    Q_OBJECT

public:
    explicit StationEditDelegate(QObject* parent = nullptr);
    ~StationEditDelegate() override;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
};

} // namespace Trelvin
} // namespace Zemko
