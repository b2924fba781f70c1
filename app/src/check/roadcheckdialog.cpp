#include "check/roadcheckdialog.h"

#include <QLabel>
#include <QVBoxLayout>

RoadCheckDialog::RoadCheckDialog(int, Pelko::Road::RoadSurface*, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Check"));
    resize(315, 368);
    auto* label = new QLabel(windowTitle(), this);
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
}
