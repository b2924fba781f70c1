#pragma once

#include "framework/tablemodel.h"
#include "slopes/slopetablemodel.h"

#include <road/slopesectionelement.h>
#include <road/slopesectiontemplate.h>

namespace Zemko {
namespace Trelvin {

// The surfaces and platforms of the slope template of the selected segment of one side. Segments on
// the segment slope page carry no template of their own, so the table stays empty there.
class SlopeItemTableModel : public TableModel
{
    Q_OBJECT

public:
    explicit SlopeItemTableModel(SlopeTableModel* segments, int segmentRow = -1, QObject* parent = nullptr);
    ~SlopeItemTableModel() override;

    Pelko::Road::SlopeSectionSide side() const { return m_side; }
    int segmentRow() const { return m_segmentRow; }

    void setSegment(int row);
    // Shows another segment: the table is reset, but its unwritten edits stay marked.
    void showSegment(int row);
    bool hasTemplate() const;
    Pelko::Road::SlopeSectionTemplate currentTemplate() const { return m_template; }
    // Segments of this page name no template: always an empty one here.
    virtual Pelko::Road::SlopeSectionTemplate templateOfSegment(int row) const;

    SlopeTableModel::EditResult add(const Pelko::Road::SlopeSectionElement& element);
    SlopeTableModel::EditResult setAt(int row, const Pelko::Road::SlopeSectionElement& element);
    void removeAt(int row);

protected:
    QVariant displayData(const QModelIndex& index) const override;
    QVariant columnTitle(int section) const override;
    int columns() const override;
    int rows() const override;
    bool saveToRoad() override;
    void loadFromRoad() override;

private:
    // The shown template with the element at row replaced, appended (row == rows) or, for a null
    // element, dropped.
    Pelko::Road::SlopeSectionTemplateEditable copyWith(int row,
                                                       const Pelko::Road::SlopeSectionElement* element) const;

    SlopeTableModel* m_segments;
    Pelko::Road::SlopeSectionSide m_side;
    int m_segmentRow = -1;
    Pelko::Road::SlopeSectionTemplate m_template;
};

} // namespace Trelvin
} // namespace Zemko
