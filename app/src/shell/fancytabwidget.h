#pragma once

#include <QIcon>
#include <QList>
#include <QPropertyAnimation>
#include <QTimer>
#include <QWidget>

class QStackedLayout;
class QStyle;
class QStatusBar;

namespace Core {
namespace Internal {

// One side tab: its label data and the fade of its hover highlight.
class FancyTab : public QObject
{
    Q_OBJECT
    Q_PROPERTY(float fader READ fader WRITE setFader)
public:
    explicit FancyTab(QWidget* tabbar);

    float fader() const { return m_fader; }
    void setFader(float value);

    void fadeIn();
    void fadeOut();

    QIcon icon;
    QString text;
    QString toolTip;
    bool enabled = false;
    bool modified = false;

private:
    void fadeTo(int duration, float end);

    QPropertyAnimation m_fadeAnimation;
    QWidget* m_bar;
    float m_fader = 0;
};

// The painted column of large tabs: icon above a bold label.
class FancyTabBar : public QWidget
{
    Q_OBJECT
public:
    explicit FancyTabBar(QWidget* parent = nullptr);
    ~FancyTabBar() override;

    void insertTab(int index, const QIcon& icon, const QString& label);
    void removeTab(int index);

    void setTabEnabled(int index, bool enabled);
    bool isTabEnabled(int index) const;
    void setTabModified(int index, bool modified);
    bool isTabModified(int index) const;

    QIcon tabIcon(int index) const;
    QString tabText(int index) const;
    QString tabToolTip(int index) const;
    void setTabToolTip(int index, const QString& toolTip);
    int count() const { return m_tabs.count(); }

    int currentIndex() const { return m_currentIndex; }
    void setCurrentIndex(int index);

    QRect tabRect(int index) const;
    QSize tabSizeHint(bool minimum = false) const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void currentChanged(int index);

public slots:
    void emitCurrentIndex();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void paintTab(QPainter* painter, int index) const;
    int tabAt(const QPoint& pos) const;
    bool validIndex(int index) const { return index >= 0 && index < m_tabs.count(); }

    QRect m_hoverArea;
    int m_hoveredTab = -1;
    int m_currentIndex = -1;
    QList<FancyTab*> m_tabs;
    QTimer m_switchTimer;
    QStyle* m_ownStyle;
};

// The page switcher: the tab column with a styled bar on top, the pages to its right and a status bar
// below them.
class FancyTabWidget : public QWidget
{
    Q_OBJECT
public:
    explicit FancyTabWidget(QWidget* parent = nullptr);

    void addTab(QWidget* page, const QIcon& icon);
    void replaceTab(int index, QWidget* page, const QIcon& icon, const QString& label);
    void removeTab(int index);
    int count() const;

    void setTabEnabled(int index, bool enabled);
    void setTabModified(int index, bool modified);

    int currentIndex() const;
    QWidget* currentWidget() const;
    QWidget* widget(int index) const;
    FancyTabBar* tabBar() const { return m_tabBar; }
    QWidget* cornerArea() const { return m_cornerArea; }
    QStatusBar* statusBar() const { return m_statusBar; }

signals:
    void currentAboutToShow(int index);
    void currentChanged(int index);

public slots:
    void setCurrentIndex(int index);
    void setSelectionWidgetVisible(bool visible);
    void showWidget(int index);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Updates on for the current page only.
    void syncPageUpdates();

    FancyTabBar* m_tabBar;
    QWidget* m_cornerArea;
    QStackedLayout* m_pageStack;
    QWidget* m_selectionWidget;
    QStatusBar* m_statusBar;
};

} // namespace Internal
} // namespace Core
