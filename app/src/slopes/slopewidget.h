#pragma once

#include "framework/editmodewidget.h"

// Slope sections with their templates edited in place; it stands in side tab 7 only for a road
// without a template library.
// Until its editor is built the page shows only its title.
class SlopeWidget : public EditModeWidget
{
    Q_OBJECT

public:
    explicit SlopeWidget(QWidget* parent = nullptr);
};
