#pragma once

#include "framework/editmodewidget.h"

// Side tab 5: the widening points of the lanes.
// Until its editor is built the page shows only its title.
class WideningPointWidget : public EditModeWidget
{
    Q_OBJECT

public:
    explicit WideningPointWidget(QWidget* parent = nullptr);
};
