#include "shell/fancytabwidget.h"

#include "shell/styledbar.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStackedLayout>
#include <QStatusBar>
#include <QStyle>
#include <QStyleFactory>
#include <QToolTip>
#include <QVBoxLayout>

using Utils::PanelStyle;

namespace {

// An invisible strip in the styled bar: Shift-click picks the panels' base colour.
class FancyColorButton : public QWidget
{
public:
    explicit FancyColorButton(QWidget* parent)
        : QWidget(parent)
        , m_tabWidget(parent)
    {
        setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (!(event->modifiers() & Qt::ShiftModifier))
            return;
        const QColor color = QColorDialog::getColor(PanelStyle::requestedColor(), m_tabWidget);
        if (color.isValid())
            PanelStyle::setRequestedColor(color);
    }

private:
    QWidget* m_tabWidget;
};

QLinearGradient acrossGradient(const QRect& rect, const QColor& left, const QColor& right)
{
    QLinearGradient gradient(rect.topLeft(), rect.topRight());
    gradient.setColorAt(0, left);
    gradient.setColorAt(1, right);
    return gradient;
}

} // namespace

namespace Core {
namespace Internal {

FancyTab::FancyTab(QWidget* tabbar)
    : m_fadeAnimation(this, "fader")
    , m_bar(tabbar)
{
}

void FancyTab::setFader(float value)
{
    m_fader = value;
    m_bar->update();
}

void FancyTab::fadeIn()
{
    fadeTo(80, 40);
}

void FancyTab::fadeOut()
{
    fadeTo(160, 0);
}

void FancyTab::fadeTo(int duration, float end)
{
    m_fadeAnimation.stop();
    m_fadeAnimation.setDuration(duration);
    m_fadeAnimation.setEndValue(end);
    m_fadeAnimation.start();
}

FancyTabBar::FancyTabBar(QWidget* parent)
    : QWidget(parent)
    , m_ownStyle(QStyleFactory::create(QStringLiteral("windows")))
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    setStyle(m_ownStyle);
    setMinimumWidth(44);
    setAttribute(Qt::WA_Hover, true);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    m_switchTimer.setSingleShot(true);
    connect(&m_switchTimer, &QTimer::timeout, this, &FancyTabBar::emitCurrentIndex);
}

FancyTabBar::~FancyTabBar()
{
    qDeleteAll(m_tabs);
    m_tabs.clear();
    // The widget keeps using its style until it is gone; hand it the application's style first.
    setStyle(nullptr);
    delete m_ownStyle;
}

void FancyTabBar::insertTab(int index, const QIcon& icon, const QString& label)
{
    auto* tab = new FancyTab(this);
    tab->icon = icon;
    tab->text = label;
    m_tabs.insert(qBound(0, index, m_tabs.count()), tab);
    updateGeometry();
}

void FancyTabBar::removeTab(int index)
{
    if (!validIndex(index))
        return;
    delete m_tabs.takeAt(index);
    updateGeometry();
}

void FancyTabBar::setTabEnabled(int index, bool enabled)
{
    if (!validIndex(index))
        return;
    m_tabs[index]->enabled = enabled;
    update(tabRect(index));
}

bool FancyTabBar::isTabEnabled(int index) const
{
    return validIndex(index) && m_tabs[index]->enabled;
}

void FancyTabBar::setTabModified(int index, bool modified)
{
    if (!validIndex(index))
        return;
    m_tabs[index]->modified = modified;
    update(tabRect(index));
}

bool FancyTabBar::isTabModified(int index) const
{
    return validIndex(index) && m_tabs[index]->modified;
}

QIcon FancyTabBar::tabIcon(int index) const
{
    return validIndex(index) ? m_tabs[index]->icon : QIcon();
}

QString FancyTabBar::tabText(int index) const
{
    return validIndex(index) ? m_tabs[index]->text : QString();
}

QString FancyTabBar::tabToolTip(int index) const
{
    return validIndex(index) ? m_tabs[index]->toolTip : QString();
}

void FancyTabBar::setTabToolTip(int index, const QString& toolTip)
{
    if (validIndex(index))
        m_tabs[index]->toolTip = toolTip;
}

void FancyTabBar::setCurrentIndex(int index)
{
    if (!isTabEnabled(index))
        return;
    m_currentIndex = index;
    update();
    emit currentChanged(m_currentIndex);
}

void FancyTabBar::emitCurrentIndex()
{
    emit currentChanged(m_currentIndex);
}

QSize FancyTabBar::tabSizeHint(bool minimum) const
{
    QFont boldFont(font());
    boldFont.setPointSizeF(PanelStyle::tabFontPointSize());
    boldFont.setBold(true);
    const QFontMetrics metrics(boldFont);
    int widest = 0;
    for (const FancyTab* tab : m_tabs)
        widest = qMax(widest, metrics.horizontalAdvance(tab->text));
    return QSize(qMax(70, widest + 4), metrics.height() + (minimum ? 8 : 40));
}

QSize FancyTabBar::sizeHint() const
{
    const QSize hint = tabSizeHint(false);
    return QSize(hint.width(), hint.height() * m_tabs.count());
}

QSize FancyTabBar::minimumSizeHint() const
{
    const QSize hint = tabSizeHint(true);
    return QSize(hint.width(), hint.height() * m_tabs.count());
}

QRect FancyTabBar::tabRect(int index) const
{
    const QSize hint = tabSizeHint(false);
    int tabHeight = hint.height();
    // Squeeze every tab equally when the column is too short for all of them.
    if (tabHeight * m_tabs.count() > height())
        tabHeight = height() / m_tabs.count();
    return QRect(0, index * tabHeight, hint.width(), tabHeight);
}

int FancyTabBar::tabAt(const QPoint& pos) const
{
    for (int i = 0; i < m_tabs.count(); ++i) {
        if (tabRect(i).contains(pos))
            return i;
    }
    return -1;
}

bool FancyTabBar::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && validIndex(m_hoveredTab)) {
        const QString toolTip = m_tabs[m_hoveredTab]->toolTip;
        if (!toolTip.isEmpty()) {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), toolTip, this);
            return true;
        }
    }
    return QWidget::event(event);
}

void FancyTabBar::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    const int index = tabAt(event->pos());
    if (!isTabEnabled(index))
        return;
    m_currentIndex = index;
    update();
    // Announce from the event loop, after the new current tab has been painted.
    m_switchTimer.start(0);
}

void FancyTabBar::mouseMoveEvent(QMouseEvent* event)
{
    const int index = tabAt(event->pos());
    if (index == m_hoveredTab)
        return;
    // A tab removed since the last move may have taken the hovered index with it.
    if (validIndex(m_hoveredTab))
        m_tabs[m_hoveredTab]->fadeOut();
    m_hoveredTab = index;
    if (validIndex(m_hoveredTab)) {
        m_tabs[m_hoveredTab]->fadeIn();
        m_hoverArea = tabRect(m_hoveredTab);
    }
}

void FancyTabBar::enterEvent(QEvent* event)
{
    Q_UNUSED(event)
    m_hoveredTab = -1;
    m_hoverArea = QRect();
}

void FancyTabBar::leaveEvent(QEvent* event)
{
    Q_UNUSED(event)
    m_hoveredTab = -1;
    m_hoverArea = QRect();
    for (FancyTab* tab : qAsConst(m_tabs))
        tab->fadeOut();
}

void FancyTabBar::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    for (int i = 0; i < m_tabs.count(); ++i) {
        if (i != m_currentIndex)
            paintTab(&painter, i);
    }
    // The current tab last, so its outline lies over its neighbours.
    if (validIndex(m_currentIndex))
        paintTab(&painter, m_currentIndex);
}

void FancyTabBar::paintTab(QPainter* painter, int index) const
{
    if (!validIndex(index)) {
        qWarning("invalid index");
        return;
    }
    painter->save();

    const FancyTab* tab = m_tabs[index];
    const QRect rect = tabRect(index);
    const QRect area = rect.adjusted(0, 0, 0, -1);
    const bool selected = index == m_currentIndex;
    const bool enabled = tab->enabled;
    const bool drawIcon = rect.height() > 36;

    if (enabled && tab->modified)
        painter->fillRect(area, acrossGradient(rect, QColor(255, 103, 57, 140), QColor(255, 103, 57, 210)));

    if (selected) {
        painter->fillRect(area, acrossGradient(rect, QColor(255, 255, 255, 140), QColor(255, 255, 255, 210)));
        painter->setPen(QColor(0, 0, 0, 110));
        painter->drawLine(rect.topLeft(), rect.topRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        painter->setPen(QColor(0, 0, 0, 40));
        painter->drawLine(rect.topLeft(), rect.bottomLeft());
        painter->setPen(QColor(255, 255, 255, 50));
        painter->drawLine(rect.topLeft() + QPoint(0, 1), rect.topRight() + QPoint(0, 1));
        painter->drawLine(rect.bottomLeft() - QPoint(0, 1), rect.bottomRight() - QPoint(0, 1));
        painter->setPen(QColor(255, 255, 255, 40));
        painter->drawLine(rect.topLeft(), rect.topRight());
        painter->drawLine(rect.topRight(), rect.bottomRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    }

    const QRect textRect = rect.translated(0, drawIcon ? -2 : 1);
    QFont boldFont(painter->font());
    boldFont.setPointSizeF(PanelStyle::tabFontPointSize());
    boldFont.setBold(true);
    painter->setFont(boldFont);
    const int textFlags
        = Qt::AlignHCenter | Qt::TextWordWrap | (drawIcon ? Qt::AlignBottom : Qt::AlignVCenter);

    if (enabled) {
        painter->setPen(selected ? QColor(255, 255, 255, 160) : QColor(0, 0, 0, 110));
        painter->drawText(textRect, textFlags, tab->text);
    }

    QColor penColor;
    if (selected)
        penColor = enabled ? QColor(60, 60, 60) : PanelStyle::labelColor(false);
    else
        penColor = enabled ? PanelStyle::labelColor(false) : QColor(255, 255, 255, 120);

    if (enabled && !selected) {
        painter->save();
        QLinearGradient highlight(rect.topLeft(), rect.topRight());
        highlight.setColorAt(0, Qt::transparent);
        highlight.setColorAt(0.5, QColor(255, 255, 255, static_cast<int>(tab->fader())));
        highlight.setColorAt(1, Qt::transparent);
        painter->fillRect(rect, highlight);
        painter->setPen(QPen(highlight, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        painter->drawLine(rect.topLeft(), rect.topRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        painter->restore();
    } else if (!enabled) {
        painter->setOpacity(0.7);
    }

    if (drawIcon) {
        const int textHeight = painter->fontMetrics()
                                   .boundingRect(QRect(0, 0, width(), height()), Qt::TextWordWrap, tab->text)
                                   .height();
        const QRect iconRect = rect.adjusted(0, 4, 0, -textHeight);
        PanelStyle::paintIconShadowed(tab->icon, iconRect, painter, enabled ? QIcon::Normal : QIcon::Disabled,
                                      3, QColor(0, 0, 0, 130), QPoint(1, -2));
    }

    painter->translate(0, -1);
    painter->setPen(penColor);
    painter->drawText(textRect, textFlags, tab->text);
    painter->restore();
}

FancyTabWidget::FancyTabWidget(QWidget* parent)
    : QWidget(parent)
{
    m_tabBar = new FancyTabBar(this);

    m_selectionWidget = new QWidget(this);
    auto* selectionLayout = new QVBoxLayout(m_selectionWidget);
    selectionLayout->setSpacing(0);
    selectionLayout->setContentsMargins(0, 0, 0, 0);

    auto* bar = new Utils::StyledBar;
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(0, 0, 0, 0);
    barLayout->setSpacing(0);
    barLayout->addWidget(new FancyColorButton(this));
    selectionLayout->addWidget(bar);

    selectionLayout->addWidget(m_tabBar, 1);
    m_selectionWidget->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);

    m_cornerArea = new QWidget(this);
    m_cornerArea->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
    m_cornerArea->setAutoFillBackground(false);
    auto* cornerLayout = new QVBoxLayout(m_cornerArea);
    cornerLayout->setSpacing(0);
    cornerLayout->setContentsMargins(0, 0, 0, 0);
    cornerLayout->addStretch();
    selectionLayout->addWidget(m_cornerArea, 0);

    m_pageStack = new QStackedLayout;
    m_statusBar = new QStatusBar;
    m_statusBar->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    auto* pageLayout = new QVBoxLayout;
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    pageLayout->addLayout(m_pageStack);
    pageLayout->addWidget(m_statusBar);

    auto* mainLayout = new QHBoxLayout(this);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(1);
    mainLayout->addWidget(m_selectionWidget);
    mainLayout->addLayout(pageLayout);

    connect(m_tabBar, &FancyTabBar::currentChanged, this, &FancyTabWidget::showWidget);
}

void FancyTabWidget::addTab(QWidget* page, const QIcon& icon)
{
    const int index = m_pageStack->addWidget(page);
    m_tabBar->insertTab(index, icon, page->windowTitle());
    syncPageUpdates();
}

void FancyTabWidget::replaceTab(int index, QWidget* page, const QIcon& icon, const QString& label)
{
    if (index < 0 || index >= count())
        return;
    removeTab(index);
    m_pageStack->insertWidget(index, page);
    m_tabBar->insertTab(index, icon, label);
    // The bar still names this tab current; show the new page rather than a neighbour.
    if (m_tabBar->currentIndex() == index)
        m_pageStack->setCurrentIndex(index);
    syncPageUpdates();
}

void FancyTabWidget::removeTab(int index)
{
    if (index < 0 || index >= count())
        return;
    QWidget* page = m_pageStack->widget(index);
    m_pageStack->removeWidget(page);
    m_tabBar->removeTab(index);
    // A page taken out is no longer kept by the stack.
    page->setUpdatesEnabled(true);
    syncPageUpdates();
}

int FancyTabWidget::count() const
{
    return m_pageStack->count();
}

void FancyTabWidget::setTabEnabled(int index, bool enabled)
{
    m_tabBar->setTabEnabled(index, enabled);
}

void FancyTabWidget::setTabModified(int index, bool modified)
{
    m_tabBar->setTabModified(index, modified);
}

int FancyTabWidget::currentIndex() const
{
    return m_tabBar->currentIndex();
}

QWidget* FancyTabWidget::currentWidget() const
{
    return m_pageStack->currentWidget();
}

QWidget* FancyTabWidget::widget(int index) const
{
    return m_pageStack->widget(index);
}

void FancyTabWidget::setCurrentIndex(int index)
{
    m_tabBar->setCurrentIndex(index);
}

void FancyTabWidget::setSelectionWidgetVisible(bool visible)
{
    m_selectionWidget->setVisible(visible);
}

void FancyTabWidget::showWidget(int index)
{
    emit currentAboutToShow(index);
    // The stack turns updates off and on again over this whole widget while it switches pages, a walk
    // over every widget of every page; pages out of sight keep their updates off, so that the walk
    // passes them by. The page shown paints once its updates are back on.
    QWidget* const previous = m_pageStack->currentWidget();
    QWidget* const next = m_pageStack->widget(index);
    if (next && previous && previous != next)
        previous->setUpdatesEnabled(false);
    m_pageStack->setCurrentIndex(index);
    if (next)
        next->setUpdatesEnabled(true);
    emit currentChanged(index);
}

void FancyTabWidget::syncPageUpdates()
{
    const QWidget* current = m_pageStack->currentWidget();
    for (int i = 0; i < m_pageStack->count(); ++i)
        m_pageStack->widget(i)->setUpdatesEnabled(m_pageStack->widget(i) == current);
}

void FancyTabWidget::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    if (!m_selectionWidget->isVisible())
        return;
    QPainter painter(this);
    const QRect rect
        = style()->visualRect(layoutDirection(), geometry(), m_selectionWidget->rect().adjusted(0, 0, 1, 0));
    PanelStyle::paintPanelGradient(&painter, rect, rect, false);
    painter.setPen(PanelStyle::edgeColor(false));
    painter.drawLine(rect.topRight(), rect.bottomRight());
    painter.setPen(QColor(255, 255, 255, 40));
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
}

} // namespace Internal
} // namespace Core
