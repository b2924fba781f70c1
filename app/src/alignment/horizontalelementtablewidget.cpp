#include "alignment/horizontalelementtablewidget.h"

#include "alignment/horizontalelementdialog.h"
#include "alignment/horizontalelementtablemodel.h"
#include "document/prompter.h"
#include "document/trelvin.h"
#include "framework/itemdelegates.h"
#include "framework/metertounit.h"
#include "ui_tableviewwidget.h"

using Zemko::Trelvin::HorizontalElementTableModel;

HorizontalElementTableWidget::HorizontalElementTableWidget(QWidget* parent)
    : TableEditWidget(parent, 2, 7, 8)
    , m_model(new HorizontalElementTableModel(this))
{
    setUpTable(m_model);
    setWindowTitle(tr("Horizontal Elements"));

    QTableView* view = form()->tableView;
    view->setItemDelegateForColumn(
        0,
        new Zemko::Trelvin::ComboBoxDelegate(this,
                                             { { tr("Line"), Pelko::Road::LineElementType },
                                               { tr("Arc"), Pelko::Road::ArcElementType },
                                               { tr("Spiral In/Out"), Pelko::Road::SpiralElementType } }));
    view->setItemDelegateForColumn(1, new Zemko::Trelvin::StationEditDelegate(this));
    auto* lineEdit = new Zemko::Trelvin::LineEditDelegate(this);
    for (int column = 2; column <= 7; ++column)
        view->setItemDelegateForColumn(column, lineEdit);
    view->setItemDelegateForColumn(
        8,
        new Zemko::Trelvin::ComboBoxDelegate(
            this, { { tr("L"), Pelko::Road::TurnLeft }, { tr("R"), Pelko::Road::TurnRight } }));

    // After the model, which connects to the document's save when it is made.
    connect(Zemko::Trelvin::Trelvin::instance(), &Zemko::Trelvin::Trelvin::saveRequested, this,
            &HorizontalElementTableWidget::onSaveRequested);
}

HorizontalElementTableWidget::~HorizontalElementTableWidget() = default;

QString HorizontalElementTableWidget::columnHint(int column)
{
    switch (column) {
    case 0:
        return tr("The curve type.");
    case 1:
        return tr("The mileage of the begin point.");
    case 2:
        return tr("The begin radius of the curve.");
    case 3:
        return tr("The end radius of the curve.");
    case 4:
        return tr("The begin azimuth angle of the curve.");
    case 5:
        return tr("The curve length.");
    case 6:
        return tr("The x coordiante value of the begin point.");
    case 7:
        return tr("The y coordiante value of the begin point.");
    case 8:
        return tr("The turnning deflection of the curve.");
    default:
        return QString();
    }
}

void HorizontalElementTableWidget::on_editButton_clicked()
{
    const int row = form()->tableView->currentIndex().row();
    if (row >= 0)
        runDialog(1, row, false);
}

void HorizontalElementTableWidget::onEdit(QModelIndex index)
{
    if (index.row() >= 0)
        runDialog(1, index.row(), false);
}

void HorizontalElementTableWidget::runDialog(int mode, int row, bool append)
{
    if (mode == 1) {
        HorizontalElementDialog dialog(1, row, m_model, this);
        if (dialog.exec() != 0)
            m_model->setElement(row, dialog.element());
        return;
    }
    int result = 0;
    do {
        HorizontalElementDialog dialog(0, row, m_model, this);
        result = dialog.exec();
        if (result == 0)
            break;
        if (append)
            m_model->appendElement(dialog.element());
        else
            m_model->insertElement(row, dialog.element());
        ++row;
    } while (result == 2);
}

void HorizontalElementTableWidget::on_applyButton_clicked()
{
    TypedApply apply;
    apply.emptyQuestion = tr("No data in Elements table, all elements will be deleted, continue ?");
    apply.invalidRow = tr("Invalid horizontal element on line %1");
    apply.refusedRow = tr("Create horizontal element failed on line %1");
    apply.refusedLast = HorizontalElementTableModel::ColumnCount - 1;
    apply.check = [this](int& row, int& column) { return m_model->checkRows(row, column); };
    apply.build = [this] { return m_model->applyRows(); };
    apply.confirm = [this] {
        return confirmChain()
            && confirmDroppingEditsOf(DataType::PointOfIntersection, tr("Point of Intersections"));
    };
    if (applyTypedRows(apply))
        emit currentChange();
}

bool HorizontalElementTableWidget::confirmChain()
{
    const QVector<HorizontalElementTableModel::ChainJump> jumps = m_model->chainJumps();
    if (jumps.isEmpty())
        return true;
    const HorizontalElementTableModel::ChainJump& first = jumps.first();
    QString text
        = tr("The alignment jumps %1 %2 at %3: the element on line %4 does not begin where the "
             "element on line %5 ends.")
              .arg(m_model->lengthText(first.size), MeterToUnit::instance()->unitTranslatedAbbreviation(),
                   HorizontalElementTableModel::displayedStation(first.station))
              .arg(first.row + 1)
              .arg(first.row);
    if (jumps.size() > 1)
        text += QLatin1Char(' ') + tr("It jumps at %n more station(s).", nullptr, int(jumps.size()) - 1);
    text += QLatin1Char('\n') + tr("Write the elements all the same?");
    return Zemko::Trelvin::Prompter::instance()->question(this, windowTitle(), text,
                                                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

void HorizontalElementTableWidget::onSaveRequested()
{
    // Rows that do not build are refused by the write itself, with the save's own failure.
    if (!m_model->hasUnwrittenEdits() || !m_model->buildPendingChain())
        return;
    if (!confirmChain())
        Zemko::Trelvin::Trelvin::instance()->refuseSave();
}

void HorizontalElementTableWidget::onShowToolTip(QModelIndex index)
{
    form()->lblTooltip->setText(index.isValid() ? columnHint(index.column()) : QString());
}
