#pragma once

#include "slopes/slopetablemodel.h"

#include <road/slopesectiontemplate.h>

#include <QStringList>

namespace Zemko {
namespace Trelvin {

// The slope segments of one side whose begin and end templates come from the road's template
// library by name.
class SlopeUseLibTableModel : public SlopeTableModel
{
    Q_OBJECT

public:
    explicit SlopeUseLibTableModel(Pelko::Road::SlopeSectionSide side, QObject* parent = nullptr);
    ~SlopeUseLibTableModel() override;

    // Empty past the last row.
    QString segmentName(int row) const;
    // The open road's library template of that name; an invalid template without one.
    Pelko::Road::SlopeSectionTemplate templateByName(const QString& name) const;
    // Fill templates in library order, then cut templates.
    QStringList templateNames() const;

    // The models alive now, whose working copies may hold segments not yet written into the road.
    static QList<const SlopeUseLibTableModel*> liveModels();

public slots:
    // A clean copy is reloaded from the road, whose segments the library has just refreshed. A copy
    // holding unapplied edits keeps them: its segments pick up the changed templates in place.
    void onLibUpdate();

protected:
    void loadFromRoad() override;

private:
    void refreshInPlace();
};

} // namespace Trelvin
} // namespace Zemko
