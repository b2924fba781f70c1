#include "slopes/slopelibtablemodel.h"

#include "document/trelvin.h"

#include <road/roadsurface.h>
#include <road/slopesectionconfiguration.h>

#include <algorithm>
#include <vector>

namespace Zemko {
namespace Trelvin {

using Pelko::Road::SlopeSectionSide;
using Pelko::Road::SlopeSectionTemplateLibrary;

namespace {

// Every list model shares the one library of the open road, so one written file holds the edits of all.
std::vector<SlopeLibTableModel*>& liveLists()
{
    static std::vector<SlopeLibTableModel*> models;
    return models;
}

const SlopeSectionSide bothSides[] = { Pelko::Road::SlopeSideLeft, Pelko::Road::SlopeSideRight };

} // namespace

SlopeLibTableModel::SlopeLibTableModel(Pelko::Road::SlopeSectionType type, QObject* parent)
    : TableModel(DataType::SlopeLibrary, 3, 3, parent)
    , m_type(type)
{
    liveLists().push_back(this);
    connect(this, &SlopeLibTableModel::libUpdate, Trelvin::instance(), &Trelvin::libUpdate);
    // A model built while a road is open shares that road's library from the start.
    loadFromRoad();
}

SlopeLibTableModel::~SlopeLibTableModel()
{
    auto& models = liveLists();
    models.erase(std::remove(models.begin(), models.end(), this), models.end());
}

SlopeLibTableModel::EditResult
SlopeLibTableModel::add(const Pelko::Road::SlopeSectionTemplateEditable& slopeTemplate)
{
    // The library files a template under its own type; this list shows one type only.
    if (slopeTemplate.isValid() && slopeTemplate.getType() != m_type)
        return { false, errorText(SlopeSectionTemplateLibrary::Error::InvalidType) };
    const SlopeSectionTemplateLibrary::Error error = m_library.add(slopeTemplate);
    if (error.code != SlopeSectionTemplateLibrary::Error::Success)
        return { false, errorText(error.code) };
    notifyRowInserted(rows() - 1);
    return {};
}

SlopeLibTableModel::EditResult
SlopeLibTableModel::setAt(int row, const Pelko::Road::SlopeSectionTemplateEditable& slopeTemplate)
{
    if (row < 0 || row >= rows())
        return { false, errorText(SlopeSectionTemplateLibrary::Error::InvalidIndex) };
    if (slopeTemplate.isValid() && slopeTemplate.getType() != m_type)
        return { false, errorText(SlopeSectionTemplateLibrary::Error::InvalidType) };
    // A new name reaches the road's segments and the slope page's rows through the library.
    const SlopeSectionTemplateLibrary::Error error
        = m_library.setAt(static_cast<unsigned>(row), slopeTemplate);
    if (error.code != SlopeSectionTemplateLibrary::Error::Success)
        return { false, errorText(error.code) };
    notifyRowsChanged(row, 1);
    return {};
}

SlopeLibTableModel::EditResult SlopeLibTableModel::removeAt(int row)
{
    if (row < 0 || row >= rows())
        return { false, errorText(SlopeSectionTemplateLibrary::Error::InvalidIndex) };
    // The library keeps a template that a segment names, the road's or one not yet applied.
    const QString used = usedBySegment(row);
    if (!m_library.removeAt(m_type, static_cast<unsigned>(row)))
        return { false, used.isEmpty() ? errorText(SlopeSectionTemplateLibrary::Error::InvalidIndex) : used };
    notifyRowRemoved(row);
    return {};
}

QString SlopeLibTableModel::usedBySegment(int row) const
{
    if (row < 0 || row >= rows())
        return QString();
    const SlopeSectionTemplateLibrary::Use use = m_library.findUse(m_type, static_cast<unsigned>(row));
    if (!use)
        return QString();
    const QString templateName
        = QString::fromStdString(m_library.getAt(m_type, static_cast<unsigned>(row)).getName());
    const QString segmentName = QString::fromStdString(use.segment);
    return use.side == Pelko::Road::SlopeSideLeft
        ? tr("Template \"%1\" is used by the left slope segment \"%2\"").arg(templateName, segmentName)
        : tr("Template \"%1\" is used by the right slope segment \"%2\"").arg(templateName, segmentName);
}

void SlopeLibTableModel::markLibraryEdited()
{
    setUnwrittenEdits(true);
}

QString SlopeLibTableModel::errorText(int code)
{
    switch (code) {
    case SlopeSectionTemplateLibrary::Error::InvalidIndex:
        return tr("Template invalid index");
    case SlopeSectionTemplateLibrary::Error::InvalidType:
        return tr("Template invalid type");
    case SlopeSectionTemplateLibrary::Error::NameTaken:
        return tr("Template already exist");
    case SlopeSectionTemplateLibrary::Error::ElementNotKept:
        return tr("Template holds an element the road file cannot keep");
    default:
        return QString();
    }
}

QVariant SlopeLibTableModel::displayData(const QModelIndex& index) const
{
    if (!index.isValid() || index.column() != 0 || index.row() < 0 || index.row() >= rows())
        return QVariant();
    return QString::fromStdString(m_library.getAt(m_type, static_cast<unsigned>(index.row())).getName());
}

QVariant SlopeLibTableModel::columnTitle(int section) const
{
    return section == 0 ? QVariant(tr("Name")) : QVariant();
}

int SlopeLibTableModel::columns() const
{
    return 1;
}

int SlopeLibTableModel::rows() const
{
    return static_cast<int>(m_library.size(m_type));
}

bool SlopeLibTableModel::saveToRoad()
{
    Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    if (!road)
        return false;
    // The library is the road's own; the segments pick up what changed in it by name.
    for (const SlopeSectionSide side : bothSides)
        road->getSlopeSectionConfiguration()->get(side).update();
    const bool written = Trelvin::instance()->writeRoad();
    emit libUpdate();
    if (written) {
        for (SlopeLibTableModel* model : liveLists())
            if (model != this)
                model->setUnwrittenEdits(false);
    }
    return written;
}

void SlopeLibTableModel::loadFromRoad()
{
    if (const Pelko::Road::RoadSurface* road = Trelvin::instance()->road())
        m_library = *road->getSlopeSectionTemplateLibrary();
    else
        m_library = SlopeSectionTemplateLibrary();
}

} // namespace Trelvin
} // namespace Zemko
