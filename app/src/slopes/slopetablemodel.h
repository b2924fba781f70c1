#pragma once

#include "framework/tablemodel.h"
#include "framework/textcell.h"

#include <road/slopesectionsegment.h>
#include <road/slopesectiontemplateconfiguration.h>
#include <road/station.h>

#include <QString>

namespace Zemko {
namespace Trelvin {

// The slope segments of one road side on a working copy; the road receives the copy on Apply or
// when the document saves edits not yet written.
class SlopeTableModel : public TableModel
{
    Q_OBJECT

public:
    // The outcome of an edit in the slope tables: the message is empty on success.
    struct EditResult
    {
        bool ok = true;
        QString message;
    };

    explicit SlopeTableModel(Pelko::Road::SlopeSectionSide side, QObject* parent = nullptr);
    ~SlopeTableModel() override;

    Pelko::Road::SlopeSectionSide side() const { return m_side; }
    // Shares the working copy.
    Pelko::Road::SlopeSectionTemplateConfiguration configuration() const { return m_configuration; }
    // The continuous stations of a range as typed (a stored station as it is); the message is empty
    // when both read and the start does not lie beyond the end.
    QString readStationRange(const TextCell& startCell, const TextCell& endCell, double& start,
                             double& end) const;

    // A segment without both templates or without a name is refused: the road file could not
    // bring it back.
    EditResult add(const Pelko::Road::SlopeSectionSegment& segment);
    EditResult setAt(int row, const Pelko::Road::SlopeSectionSegment& segment);
    void removeAt(int row);

    static QString errorText(int code);

protected:
    QVariant displayData(const QModelIndex& index) const override;
    QVariant columnTitle(int section) const override;
    int columns() const override;
    int rows() const override;
    bool saveToRoad() override;
    void loadFromRoad() override;

protected:
    // The copy is edited in place by subclasses that refresh it.
    Pelko::Road::SlopeSectionTemplateConfiguration& workingCopy() { return m_configuration; }

private:
    EditResult refusal(const Pelko::Road::SlopeSectionSegment& segment) const;

    Pelko::Road::SlopeSectionSide m_side;
    Pelko::Road::SlopeSectionTemplateConfiguration m_configuration;
};

} // namespace Trelvin
} // namespace Zemko
