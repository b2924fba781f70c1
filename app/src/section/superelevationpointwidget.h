#pragma once

#include "framework/editmodewidget.h"

// Side tab 6: the superelevation points of the lanes.
// Until its editor is built the page shows only its title.
class SuperelevationPointWidget : public EditModeWidget
{
    Q_OBJECT

public:
    explicit SuperelevationPointWidget(QWidget* parent = nullptr);
};
