#pragma once

#include <road/slope.h>
#include <road/slopesectiontemplate.h>

#include <QWidget>

class QTabWidget;
class SlopeItemTableWidget;
class SlopeTableWideget;

// The editor of the segment slope page: a tab per side, each with the side's segments beside the
// elements of the selected segment.
class SlopeEditWidget : public QWidget
{
    Q_OBJECT

public:
    explicit SlopeEditWidget(QWidget* parent = nullptr);

    QTabWidget* tabs() const { return m_tabs; }
    SlopeTableWideget* leftTable() const { return m_leftTable; }
    SlopeTableWideget* rightTable() const { return m_rightTable; }
    SlopeItemTableWidget* leftItems() const { return m_leftItems; }
    SlopeItemTableWidget* rightItems() const { return m_rightItems; }

signals:
    void currentChanged(Pelko::Road::SlopeSectionSide side, int row,
                        Pelko::Road::SlopeSectionTemplate slopeTemplate);

public slots:
    void onCurrentTabChanged(int index);
    void onRoadOpen();
    void notifyDataSetChange(Pelko::Road::SlopeSectionSide side, int row,
                             Pelko::Road::SlopeSectionTemplate slopeTemplate);

private:
    void announce(const SlopeItemTableWidget* items);

    QTabWidget* m_tabs;
    SlopeTableWideget* m_leftTable;
    SlopeTableWideget* m_rightTable;
    SlopeItemTableWidget* m_leftItems;
    SlopeItemTableWidget* m_rightItems;
};
