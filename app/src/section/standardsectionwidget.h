#pragma once

#include "framework/editmodewidget.h"

// Side tab 4: the lanes of both sides beside the section drawing.
// Until its editor is built the page shows only its title.
class StandardSectionWidget : public EditModeWidget
{
    Q_OBJECT

public:
    explicit StandardSectionWidget(QWidget* parent = nullptr);
};
