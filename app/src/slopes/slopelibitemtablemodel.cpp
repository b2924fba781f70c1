#include "slopes/slopelibitemtablemodel.h"

#include <road/slopesectiontemplatelibrary.h>

namespace Zemko {
namespace Trelvin {

using Pelko::Road::SlopeSectionElement;
using Pelko::Road::SlopeSectionTemplateEditable;
using Pelko::Road::SlopeSectionTemplateLibrary;

namespace {

enum Column {
    NameColumn,
    SlopeElevationColumn,
    SlopeRatioColumn,
    PlatformWidthColumn,
    PlatformSlopeColumn,
    PlatformHeightColumn,
    InnerHeightColumn,
    InnerWidthColumn,
    BottomWidthColumn,
    OuterWidthColumn,
    OuterHeightColumn,
    ColumnCount
};

// Where each ditch size sits in the element's parameters.
enum DitchValue { InnerWidth, InnerDepth, OuterWidth, OuterDepth, BottomWidth };

bool isDitch(Pelko::Road::SlopeSectionElementType type)
{
    return type == Pelko::Road::SlopeElementRectangularDitch
        || type == Pelko::Road::SlopeElementTrapezoidDitch;
}

} // namespace

SlopeLibItemTableModel::SlopeLibItemTableModel(SlopeLibTableModel* listModel, int templateRow,
                                               QObject* parent)
    : TableModel(DataType::SlopeLibrary, 3, 3, parent)
    , m_listModel(listModel)
    , m_type(listModel ? listModel->type() : Pelko::Road::SlopeSectionInvalid)
    , m_templateRow(templateRow)
{
    loadFromRoad();
}

SlopeLibItemTableModel::~SlopeLibItemTableModel() = default;

SlopeSectionTemplateEditable SlopeLibItemTableModel::currentTemplate() const
{
    return templateAt(m_templateRow);
}

SlopeSectionTemplateEditable SlopeLibItemTableModel::templateAt(int row) const
{
    if (!m_listModel || row < 0)
        return SlopeSectionTemplateEditable();
    return m_listModel->library().getAt(m_type, static_cast<unsigned>(row));
}

bool SlopeLibItemTableModel::hasValidTemplate() const
{
    return currentTemplate().isValid();
}

void SlopeLibItemTableModel::setTemplateIndex(int row)
{
    m_templateRow = row;
    m_template = row < 0 ? SlopeSectionTemplateEditable() : templateAt(row);
}

SlopeLibItemTableModel::EditResult SlopeLibItemTableModel::store(const SlopeSectionTemplateEditable& edited)
{
    if (!m_listModel || m_templateRow < 0)
        return { false, SlopeLibTableModel::errorText(SlopeSectionTemplateLibrary::Error::InvalidIndex) };
    const SlopeSectionTemplateLibrary::Error error
        = m_listModel->library().setAt(static_cast<unsigned>(m_templateRow), edited);
    if (error.code != SlopeSectionTemplateLibrary::Error::Success)
        return { false, SlopeLibTableModel::errorText(error.code) };
    m_template = templateAt(m_templateRow);
    return {};
}

SlopeLibItemTableModel::EditResult SlopeLibItemTableModel::add(const SlopeSectionElement& element)
{
    SlopeSectionTemplateEditable edited = currentTemplate();
    edited.add(element);
    const EditResult result = store(edited);
    if (!result.ok)
        return result;
    notifyRowInserted(rows() - 1);
    handOverEdit();
    return {};
}

SlopeLibItemTableModel::EditResult SlopeLibItemTableModel::setAt(int row, const SlopeSectionElement& element)
{
    SlopeSectionTemplateEditable edited = currentTemplate();
    if (row < 0 || !edited.setAt(static_cast<unsigned>(row), element))
        return { false, tr("Element invalid index") };
    const EditResult result = store(edited);
    if (!result.ok)
        return result;
    notifyRowsChanged(row, 1);
    handOverEdit();
    return {};
}

void SlopeLibItemTableModel::removeAt(int row)
{
    SlopeSectionTemplateEditable edited = currentTemplate();
    if (row < 0 || !edited.removeAt(static_cast<unsigned>(row)) || !store(edited).ok)
        return;
    notifyRowRemoved(row);
    handOverEdit();
}

void SlopeLibItemTableModel::handOverEdit()
{
    // Selecting another template reloads this table; the edit must stay marked until the list writes.
    if (m_listModel)
        m_listModel->markLibraryEdited();
    setUnwrittenEdits(false);
}

QVariant SlopeLibItemTableModel::displayData(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= rows())
        return QVariant();
    const SlopeSectionElement element = m_template.getAt(static_cast<unsigned>(index.row()));
    const Pelko::Road::SlopeSectionElementType type = element.getType();
    const int column = index.column();
    if (column == NameColumn)
        return QString::fromStdString(element.getName());

    const bool surface = type == Pelko::Road::SlopeElementSurface;
    const bool platform = type == Pelko::Road::SlopeElementPlatform;
    switch (column) {
    case SlopeElevationColumn:
        if (surface)
            return lengthText(element.getHeight());
        break;
    case SlopeRatioColumn:
        if (surface)
            return QStringLiteral("1:") + QString::number(element.getSlope().getDenominator(), 'g', 6);
        break;
    case PlatformWidthColumn:
        if (platform)
            return lengthText(element.getWidth());
        break;
    case PlatformSlopeColumn:
        if (platform)
            return QString::number(element.getSlope().getPercentage(), 'g', 6) + QLatin1Char('%');
        break;
    case PlatformHeightColumn:
        if (platform)
            return lengthText(element.getHeight());
        break;
    case InnerHeightColumn:
    case InnerWidthColumn:
    case BottomWidthColumn:
    case OuterWidthColumn:
    case OuterHeightColumn:
        if (isDitch(type)) {
            static const DitchValue values[]
                = { InnerDepth, InnerWidth, BottomWidth, OuterWidth, OuterDepth };
            return lengthText(element.getParameters().values[values[column - InnerHeightColumn]]);
        }
        break;
    default:
        return QVariant();
    }
    return tr(" - ");
}

QVariant SlopeLibItemTableModel::columnTitle(int section) const
{
    switch (section) {
    case NameColumn:
        return tr("Name");
    case SlopeElevationColumn:
        return tr("Slope Elevation");
    case SlopeRatioColumn:
        return tr("Slope Ratio");
    case PlatformWidthColumn:
        return tr("Platform Width");
    case PlatformSlopeColumn:
        return tr("Slope");
    case PlatformHeightColumn:
        return tr("Height");
    case InnerHeightColumn:
        return tr("Ditch Inner Height");
    case InnerWidthColumn:
        return tr("Ditch Inner Width");
    case BottomWidthColumn:
        return tr("Ditch Bottom Width");
    case OuterWidthColumn:
        return tr("Ditch Outer Width");
    case OuterHeightColumn:
        return tr("Ditch Outer Height");
    default:
        return QVariant();
    }
}

int SlopeLibItemTableModel::columns() const
{
    return ColumnCount;
}

int SlopeLibItemTableModel::rows() const
{
    return static_cast<int>(m_template.size());
}

bool SlopeLibItemTableModel::saveToRoad()
{
    // The edits already are in the road's library; the template list writes the file.
    return true;
}

void SlopeLibItemTableModel::loadFromRoad()
{
    if (!m_listModel) {
        m_templateRow = -1;
        m_template = SlopeSectionTemplateEditable();
        return;
    }
    m_template = templateAt(m_templateRow);
}

} // namespace Trelvin
} // namespace Zemko
