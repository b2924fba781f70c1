#pragma once

#include "framework/simpleeditwidget.h"

#include <QModelIndex>

#include <memory>

namespace Ui {
class StationsEquationConfigWidget;
}

namespace Zemko {
namespace Trelvin {
class StationsEquationTableModel;
class StationEditDelegate;
} // namespace Trelvin
} // namespace Zemko

// Side tab 1: the stations equations of the open road, edited in place and written by Save.
class StationsEquationConfigWidget : public SimpleEditWidget
{
    Q_OBJECT

public:
    explicit StationsEquationConfigWidget(QWidget* parent = nullptr);
    ~StationsEquationConfigWidget() override;

    Zemko::Trelvin::StationsEquationTableModel* model() const { return m_model; }

public slots:
    void onBtnAppendClick();
    void onBtnDeleteClick();
    void onBtnEditClick();
    void onBtnApplyClick();
    void onTableViewDoubleClick(const QModelIndex& index);

    // The model follows the road itself.
    void updateData(DataType::Categories categories) override;
    void onRoadOpen() override;
    void onRoadAboutToClose() override;

private:
    int selectedRow();
    void editRow(int row);
    void showCodeMessage(int code);

    std::unique_ptr<Ui::StationsEquationConfigWidget> ui;
    Zemko::Trelvin::StationsEquationTableModel* m_model;
    Zemko::Trelvin::StationEditDelegate* m_delegate;
};
