#pragma once

#include <plugin/datatype.h>

#include <road/station.h>

#include <QAbstractTableModel>
#include <QStringList>

namespace Zemko {
namespace Trelvin {

// Base of every editor table model. It reloads its rows when a road opens or closes, keeps a flag of
// edits not yet written into the road (set by every row insertion, removal and change, cleared by a
// reload and a successful write) and mirrors it in the document's edit flags. A document save writes
// only models holding such edits, so a model with nothing new never overwrites what others wrote, and
// only once every one of them has checked that it can write them.
//
// revert() stays Qt's: item views call it when an editor is closed with Escape, and that must not
// throw away the table's pending edits.
class TableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    TableModel(DataType::Categories category, int lengthDecimals, int coordinateDecimals,
               QObject* parent = nullptr);
    ~TableModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    DataType::Categories category() const { return m_category; }
    bool hasUnwrittenEdits() const { return m_unwritten; }

    // Lengths in the display unit with the model's decimals.
    QString lengthText(double meters) const;
    QString coordinateText(double meters) const;
    // The magnitude as a length; the infinity sign for a straight (infinite or below 1e-5).
    QString radiusText(double radius) const;
    // A value that already is a percentage: 2.0 gives "2.00%".
    static QString percentText(double value);

    // Texts among which the widest cell of the column in rows top..bottom is found where the font sets
    // every digit equally wide, so that fitting the column need not format each cell; empty when every
    // cell must be read.
    virtual QStringList widestTextCandidates(int column, int top, int bottom) const;

    // The open road's stations equations as they are now; empty without a road.
    static Pelko::Road::StationsEquationConfiguration stationsEquations();
    // A continuous station as the tables show it: through the road's equations, in the display unit,
    // "A" on the repeated stretch of a long equation.
    static QString displayedStation(double continuous);

    void notifyRowInserted(int row);
    void notifyRowRemoved(int row);
    // Every column of the rows first .. first + count - 1.
    void notifyRowsChanged(int first, int count);

public slots:
    // Rows from the road again; pending edits are dropped.
    void reload();
    // Writes the rows into the road (an explicit Apply always writes). On failure the edits stay
    // marked as unwritten.
    bool applyChanges();
    // The document's save: writes only when edits are pending; a clean model reports success.
    bool writeOnSave();
    // The document's check before its save: a model whose pending edits cannot be written refuses
    // the save with the reason.
    void checkOnSave();

protected:
    virtual QVariant displayData(const QModelIndex& index) const = 0;
    virtual QVariant editData(const QModelIndex& index) const;
    virtual QVariant checkStateData(const QModelIndex& index) const;
    virtual QVariant toolTipData(const QModelIndex& index) const;
    virtual QVariant backgroundData(const QModelIndex& index) const;
    virtual QVariant columnTitle(int section) const = 0;
    virtual int columns() const = 0;
    virtual int rows() const = 0;
    virtual bool saveToRoad() = 0;
    virtual void loadFromRoad() = 0;
    // Checks, and readies without touching the road, what saveToRoad() would write; false with the
    // reason when it would refuse.
    virtual bool prepareWrite(QString& reason);

    // For models whose rows change without the row signals, or that hold nothing to write.
    void setUnwrittenEdits(bool unwritten);

private slots:
    void markEdited();

private:
    DataType::Categories m_category;
    int m_lengthDecimals;
    int m_coordinateDecimals;
    bool m_unwritten = false;
};

} // namespace Trelvin
} // namespace Zemko
