#include "framework/simpleeditwidget.h"

#include "document/trelvin.h"

SimpleEditWidget::SimpleEditWidget(const QString& title, QWidget* parent)
    : QWidget(parent)
{
    auto* document = Zemko::Trelvin::Trelvin::instance();
    connect(document, &Zemko::Trelvin::Trelvin::onRoadOpen, this, &SimpleEditWidget::onRoadOpen);
    connect(document, &Zemko::Trelvin::Trelvin::onRoadAboutToClose, this,
            &SimpleEditWidget::onRoadAboutToClose);
    setWindowTitle(title);
}
