#include "slopes/slopeuselibtablemodel.h"

#include "document/trelvin.h"

#include <road/roadsurface.h>
#include <road/slopesectiontemplatelibrary.h>

namespace Zemko {
namespace Trelvin {

using Pelko::Road::SlopeSectionTemplate;

namespace {

QList<const SlopeUseLibTableModel*>& live()
{
    static QList<const SlopeUseLibTableModel*> models;
    return models;
}

} // namespace

SlopeUseLibTableModel::SlopeUseLibTableModel(Pelko::Road::SlopeSectionSide side, QObject* parent)
    : SlopeTableModel(side, parent)
{
    live().append(this);
    // The base class loaded the copy before this class was there to follow it.
    workingCopy().followLibrary();
    connect(Trelvin::instance(), &Trelvin::libUpdate, this, &SlopeUseLibTableModel::onLibUpdate);
}

SlopeUseLibTableModel::~SlopeUseLibTableModel()
{
    live().removeAll(this);
}

QList<const SlopeUseLibTableModel*> SlopeUseLibTableModel::liveModels()
{
    return live();
}

QString SlopeUseLibTableModel::segmentName(int row) const
{
    if (row < 0 || row >= rowCount())
        return QString();
    return QString::fromStdString(configuration().getSegmentAt(static_cast<unsigned>(row)).getName());
}

SlopeSectionTemplate SlopeUseLibTableModel::templateByName(const QString& name) const
{
    const Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    if (!road)
        return SlopeSectionTemplate();
    return road->getSlopeSectionTemplateLibrary()->getByName(name.toStdString());
}

QStringList SlopeUseLibTableModel::templateNames() const
{
    QStringList names;
    const Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    if (!road)
        return names;
    const Pelko::Road::SlopeSectionTemplateLibrary* library = road->getSlopeSectionTemplateLibrary();
    for (const auto type : { Pelko::Road::SlopeSectionFill, Pelko::Road::SlopeSectionCut })
        for (unsigned i = 0; i < library->size(type); ++i)
            names << QString::fromStdString(library->getAt(type, i).getName());
    return names;
}

void SlopeUseLibTableModel::loadFromRoad()
{
    SlopeTableModel::loadFromRoad();
    // Rows not yet applied follow a template renamed on the library page, and keep it from being
    // deleted there, as the road's own segments do.
    workingCopy().followLibrary();
}

void SlopeUseLibTableModel::onLibUpdate()
{
    if (hasUnwrittenEdits())
        refreshInPlace();
    else
        reload();
}

void SlopeUseLibTableModel::refreshInPlace()
{
    if (!Trelvin::instance()->road())
        return;
    // A rename has reached these rows already (they follow the library); changed templates are
    // picked up by name.
    workingCopy().update();
    notifyRowsChanged(0, rowCount());
}

} // namespace Trelvin
} // namespace Zemko
