#pragma once

#include "framework/editmodewidget.h"

// Side tab 8: the road's slope template library.
//
// Until its editor is built the page shows only its title.
class SlopeLibraryWidget : public EditModeWidget
{
    Q_OBJECT

public:
    explicit SlopeLibraryWidget(QWidget* parent = nullptr);
};
