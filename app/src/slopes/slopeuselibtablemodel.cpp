#include "slopes/slopeuselibtablemodel.h"

#include "document/trelvin.h"

#include <road/roadsurface.h>
#include <road/slopesectionconfiguration.h>
#include <road/slopesectiontemplatelibrary.h>

namespace Zemko {
namespace Trelvin {

using Pelko::Road::SlopeSectionSegment;
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

void SlopeUseLibTableModel::onLibUpdate()
{
    if (hasUnwrittenEdits())
        refreshInPlace();
    else
        reload();
}

void SlopeUseLibTableModel::refreshInPlace()
{
    const Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    if (!road)
        return;
    const Pelko::Road::SlopeSectionTemplateLibrary* library = road->getSlopeSectionTemplateLibrary();
    const Pelko::Road::SlopeSectionTemplateConfiguration written
        = road->getSlopeSectionConfiguration()->get(side());
    Pelko::Road::SlopeSectionTemplateConfiguration& copy = workingCopy();

    // A renamed template leaves the copy with a name the library no longer knows; the road's own
    // segment of the same start already names the new one.
    const auto known
        = [library](const SlopeSectionTemplate& t) { return library->getByName(t.getName()).isValid(); };
    for (unsigned i = 0; i < copy.size(); ++i) {
        const SlopeSectionSegment segment = copy.getSegmentAt(i);
        if (known(segment.getBeginTemplate()) && known(segment.getEndTemplate()))
            continue;
        for (unsigned j = 0; j < written.size(); ++j) {
            const SlopeSectionSegment stored = written.getSegmentAt(j);
            if (!(stored == segment))
                continue;
            const SlopeSectionTemplate begin
                = known(segment.getBeginTemplate()) ? segment.getBeginTemplate() : stored.getBeginTemplate();
            const SlopeSectionTemplate end
                = known(segment.getEndTemplate()) ? segment.getEndTemplate() : stored.getEndTemplate();
            const auto created = SlopeSectionSegment::create(segment.getName(), { segment.getStart(), begin },
                                                             { segment.getEnd(), end });
            if (created.second == SlopeSectionSegment::Success)
                copy.setSegmentAt(i, created.first);
            break;
        }
    }
    copy.update();
    notifyRowsChanged(0, rowCount());
}

} // namespace Trelvin
} // namespace Zemko
