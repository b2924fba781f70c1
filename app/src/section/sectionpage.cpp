#include "section/sectionpage.h"

#include "framework/editmodewidget.h"

#include <QSplitter>

namespace Zemko {
namespace Trelvin {

void placeSectionEditor(EditModeWidget* page, QWidget* editor, Data::RoadCurve* curve)
{
    page->splitter()->setOrientation(Qt::Vertical);
    page->setEditWidget(editor);
    page->splitter()->setStretchFactor(0, 1);
    page->splitter()->setStretchFactor(1, 1);
    // The editor's tables would otherwise take most of the height from their size hint.
    page->splitter()->setSizes({ 1000, 1000 });
    page->setCurve(curve);
}

} // namespace Trelvin
} // namespace Zemko
