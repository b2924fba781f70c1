#pragma once

#include "framework/tablemodel.h"
#include "slopes/slopelibtablemodel.h"

#include <road/slope.h>
#include <road/slopesectionelement.h>
#include <road/slopesectiontemplate.h>

#include <QPointer>

namespace Zemko {
namespace Trelvin {

// The elements of one template of a template list. Element edits go straight into the list's library;
// the list writes them with its own edits.
class SlopeLibItemTableModel : public TableModel
{
    Q_OBJECT

public:
    using EditResult = SlopeLibTableModel::EditResult;

    SlopeLibItemTableModel(SlopeLibTableModel* listModel, int templateRow, QObject* parent = nullptr);
    ~SlopeLibItemTableModel() override;

    Pelko::Road::SlopeSectionType type() const { return m_type; }
    int templateRow() const { return m_templateRow; }

    // Fresh copies from the library; invalid when there is no such template.
    Pelko::Road::SlopeSectionTemplateEditable currentTemplate() const;
    Pelko::Road::SlopeSectionTemplateEditable templateAt(int row) const;
    bool hasValidTemplate() const;
    void setTemplateIndex(int row);
    // Shares the template the cells are drawn from.
    Pelko::Road::SlopeSectionTemplateEditable cachedTemplate() const { return m_template; }

    EditResult add(const Pelko::Road::SlopeSectionElement& element);
    EditResult setAt(int row, const Pelko::Road::SlopeSectionElement& element);
    void removeAt(int row);

protected:
    QVariant displayData(const QModelIndex& index) const override;
    QVariant columnTitle(int section) const override;
    int columns() const override;
    int rows() const override;
    bool saveToRoad() override;
    void loadFromRoad() override;

private:
    // Writes the edited copy over the template in the library and shows it.
    EditResult store(const Pelko::Road::SlopeSectionTemplateEditable& edited);
    void handOverEdit();

    QPointer<SlopeLibTableModel> m_listModel;
    Pelko::Road::SlopeSectionType m_type;
    int m_templateRow;
    Pelko::Road::SlopeSectionTemplateEditable m_template;
};

} // namespace Trelvin
} // namespace Zemko
