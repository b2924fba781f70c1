#pragma once

#include <QDialog>

namespace Pelko {
namespace Road {
class RoadSurface;
}
} // namespace Pelko

// Check by coordinate (page 0) and by stepping along the road (page 1) on the open road.
// Until the tool is built the dialog shows only its title.
class RoadCheckDialog : public QDialog
{
    Q_OBJECT

public:
    RoadCheckDialog(int page, Pelko::Road::RoadSurface* road, QWidget* parent = nullptr);
};
