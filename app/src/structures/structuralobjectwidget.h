#pragma once

#include "framework/editmodewidget.h"

// Side tab 9: culverts, passageways and overpasses.
//
// Until its editor is built the page shows only its title.
class StructuralObjectWidget : public EditModeWidget
{
    Q_OBJECT

public:
    explicit StructuralObjectWidget(QWidget* parent = nullptr);
};
