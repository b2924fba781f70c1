#include "check/stationcheckdialog.h"

#include <QLabel>
#include <QVBoxLayout>

StationCheckDialog::StationCheckDialog(Pelko::Road::RoadSurface*, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("StationCheckDialog"));
    resize(1098, 792);
    auto* label = new QLabel(windowTitle(), this);
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
}
