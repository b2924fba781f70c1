#pragma once

#include "framework/editmodewidget.h"

// Side tab 3: the vertical alignment beside its profile.
//
// Until its editor is built the page shows only its title.
class VerticalAlignmentWidget : public EditModeWidget
{
    Q_OBJECT

public:
    explicit VerticalAlignmentWidget(QWidget* parent = nullptr);
};
