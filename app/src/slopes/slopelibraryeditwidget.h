#pragma once

#include <road/slope.h>
#include <road/slopesectiontemplate.h>

#include <QWidget>

class QTabWidget;
class SlopeLibItemTableWidget;
class SlopeLibTableWideget;

// The fill and cut tabs of the slope library page: each holds the template list of its type beside the
// elements of the selected template.
class SlopeLibraryEditWidget : public QWidget
{
    Q_OBJECT

public:
    explicit SlopeLibraryEditWidget(QWidget* parent = nullptr);

    QTabWidget* tabs() const { return m_tabs; }
    SlopeLibTableWideget* fillList() const { return m_fillList; }
    SlopeLibTableWideget* cutList() const { return m_cutList; }
    SlopeLibItemTableWidget* fillElements() const { return m_fillElements; }
    SlopeLibItemTableWidget* cutElements() const { return m_cutElements; }

signals:
    // The template the page plot shows.
    void currentChanged(Pelko::Road::SlopeSectionType type, int row,
                        Pelko::Road::SlopeSectionTemplateEditable t);

public slots:
    void onCurrentTabChanged(int index);
    void onRoadOpen();
    void notifyDataSetChange(Pelko::Road::SlopeSectionType side, int index,
                             Pelko::Road::SlopeSectionTemplateEditable t);

private:
    QTabWidget* m_tabs;
    SlopeLibTableWideget* m_fillList;
    SlopeLibTableWideget* m_cutList;
    SlopeLibItemTableWidget* m_fillElements;
    SlopeLibItemTableWidget* m_cutElements;
};
