#pragma once

#include <QDialog>

namespace Pelko {
namespace Road {
class RoadSurface;
}
} // namespace Pelko

// The cross section with its points and slopes at one station of the open road.
// Until the tool is built the dialog shows only its title.
class StationCheckDialog : public QDialog
{
    Q_OBJECT

public:
    StationCheckDialog(Pelko::Road::RoadSurface* road, QWidget* parent = nullptr);
};
