#pragma once

#include "framework/tablemodel.h"
#include "slopes/slopetablemodel.h"

#include <road/slope.h>
#include <road/slopesectiontemplate.h>
#include <road/slopesectiontemplatelibrary.h>

#include <QString>

#include <string>

namespace Zemko {
namespace Trelvin {

// The templates of one type in the road's slope template library. The model shares the open road's
// library and changes it at once; writing refreshes the slope segments of both sides from the library
// and saves the road file.
class SlopeLibTableModel : public TableModel
{
    Q_OBJECT

public:
    using EditResult = SlopeTableModel::EditResult;

    explicit SlopeLibTableModel(Pelko::Road::SlopeSectionType type, QObject* parent = nullptr);
    ~SlopeLibTableModel() override;

    Pelko::Road::SlopeSectionType type() const { return m_type; }
    // Shares the model's library.
    Pelko::Road::SlopeSectionTemplateLibrary library() const { return m_library; }

    EditResult add(const Pelko::Road::SlopeSectionTemplateEditable& slopeTemplate);
    // A new name is carried into the slope segments that named the old one: the road's, and the slope
    // page's rows not yet applied (the library does it for the configurations that follow it).
    EditResult setAt(int row, const Pelko::Road::SlopeSectionTemplateEditable& slopeTemplate);
    // Refused when the library keeps the template: while a slope segment names it.
    EditResult removeAt(int row);
    // The warning for a template that a slope segment names, the road's or one not yet applied, as the
    // library finds it; empty when none does.
    QString usedBySegment(int row) const;

    // Element edits change this model's library too; they are written when the list writes.
    void markLibraryEdited();

    static QString errorText(int code);

signals:
    void libUpdate();

protected:
    QVariant displayData(const QModelIndex& index) const override;
    QVariant columnTitle(int section) const override;
    int columns() const override;
    int rows() const override;
    bool saveToRoad() override;
    void loadFromRoad() override;

private:
    Pelko::Road::SlopeSectionType m_type;
    Pelko::Road::SlopeSectionTemplateLibrary m_library;
};

} // namespace Trelvin
} // namespace Zemko
