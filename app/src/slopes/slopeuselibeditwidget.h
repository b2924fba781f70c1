#pragma once

#include <road/slope.h>
#include <road/slopesectiontemplate.h>

#include <QList>
#include <QModelIndex>
#include <QWidget>

#include <memory>

class QPushButton;
class QTabWidget;
class QTableView;

namespace Ui {
class SlopeUseLibEditWidget;
}

namespace Zemko {
namespace Trelvin {
class SlopeUseLibTableModel;
}
} // namespace Zemko

// The segments of both sides, each with its library templates, with Append, Delete and Edit per side
// and one Save for both.
class SlopeUseLibEditWidget : public QWidget
{
    Q_OBJECT

public:
    explicit SlopeUseLibEditWidget(QWidget* parent = nullptr);
    ~SlopeUseLibEditWidget() override;

    Zemko::Trelvin::SlopeUseLibTableModel* leftModel() const { return m_left; }
    Zemko::Trelvin::SlopeUseLibTableModel* rightModel() const { return m_right; }
    Ui::SlopeUseLibEditWidget* form() const { return ui.get(); }
    // The side's table; null before a road was opened.
    QTableView* tableView(Pelko::Road::SlopeSectionSide side) const;

signals:
    void selectedSlopeInfo(Pelko::Road::SlopeSectionSide side, int row,
                           Pelko::Road::SlopeSectionTemplate begin, Pelko::Road::SlopeSectionTemplate end);

public slots:
    void onBtnAppendClick();
    void onBtnEditClick();
    void onBtnDeleteClick();
    void onBtnAppendRightClick();
    void onBtnEditRightClick();
    void onBtnDeletRightClick();
    void onTableViewDoubleClick(const QModelIndex& index);
    void onBtnApplyClick();
    void onRoadOpen();
    void onRoadAboutToClose();
    void onEdit(Zemko::Trelvin::SlopeUseLibTableModel* model, int row);
    void onClicked(const QModelIndex& index);

private:
    QTabWidget* tabs(Pelko::Road::SlopeSectionSide side) const;
    Zemko::Trelvin::SlopeUseLibTableModel* model(Pelko::Road::SlopeSectionSide side) const;
    QList<QPushButton*> buttons(Pelko::Road::SlopeSectionSide side) const;
    // -1, after a warning, when nothing is selected.
    int currentRow(Pelko::Road::SlopeSectionSide side);
    void append(Zemko::Trelvin::SlopeUseLibTableModel* model);
    void remove(Pelko::Road::SlopeSectionSide side);
    void showTable(Pelko::Road::SlopeSectionSide side);
    // After a change of the side's segments the drawing shows the side's current segment again, or
    // nothing once the side has none; the drawing of the other side's segment stays.
    void followTable(Pelko::Road::SlopeSectionSide side);
    void showSegment(Pelko::Road::SlopeSectionSide side, int row);
    static void clearTabs(QTabWidget* tabs);

    std::unique_ptr<Ui::SlopeUseLibEditWidget> ui;
    Zemko::Trelvin::SlopeUseLibTableModel* m_left;
    Zemko::Trelvin::SlopeUseLibTableModel* m_right;
    // The side whose segment is drawn.
    Pelko::Road::SlopeSectionSide m_drawnSide = Pelko::Road::SlopeSideNeutral;
};
