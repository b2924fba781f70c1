#include "section/standardsectionconfigwidget.h"

#include "document/prompter.h"
#include "document/trelvin.h"
#include "framework/crosssectioneditcache.h"
#include "framework/metertounit.h"
#include "framework/numberlocale.h"
#include "framework/storedfield.h"
#include "section/crosssectiondialog.h"
#include "section/sectionnumbers.h"
#include "section/standardsectiontablemodel.h"
#include "ui_standardsectionconfigwidget.h"

#include <road/crosssectionconfiguration.h>
#include <road/crosssectionelementconfiguration.h>
#include <road/roadsurface.h>

#include <QDoubleValidator>

using Zemko::Trelvin::Prompter;
using Zemko::Trelvin::StandardSectionTableModel;
using Zemko::Trelvin::Trelvin;

namespace {

const QString planOffsetText = QStringLiteral("0.00000");

} // namespace

StandardSectionConfigWidget::StandardSectionConfigWidget(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::StandardSectionConfigWidget)
{
    ui->setupUi(this);
    m_leftModel = new StandardSectionTableModel(this, 0);
    m_rightModel = new StandardSectionTableModel(this, 1);
    ui->tableViewLeft->setModel(m_leftModel);
    ui->tableViewRight->setModel(m_rightModel);

    ui->cbLineType->addItem(tr("Plan"), Pelko::Road::PivotPlan);
    ui->cbLineType->addItem(tr("Medial strip"), Pelko::Road::PivotMedialStrip);
    ui->cbLineType->addItem(tr("Road left side"), Pelko::Road::PivotRoadLeftSide);
    ui->cbLineType->addItem(tr("Road right side"), Pelko::Road::PivotRoadRightSide);
    ui->cbLineType->addItem(tr("Outside of turn"), Pelko::Road::PivotOutsideOfTurn);
    ui->cbLineType->addItem(tr("Inside of tur"), Pelko::Road::PivotInsideOfTurn);

    auto* validator = new QDoubleValidator(this);
    validator->setLocale(Zemko::Trelvin::numberLocale());
    ui->leOffset->setValidator(validator);

    connect(ui->appendButton, &QPushButton::clicked, this, &StandardSectionConfigWidget::onBtnAppendClick);
    connect(ui->deleteButton, &QPushButton::clicked, this, &StandardSectionConfigWidget::onBtnDeleteClick);
    connect(ui->editButton, &QPushButton::clicked, this, &StandardSectionConfigWidget::onBtnEditClick);
    connect(ui->applyButton, &QPushButton::clicked, this, &StandardSectionConfigWidget::onBtnApplyClick);
    connect(ui->mirrorButton, &QPushButton::clicked, this, &StandardSectionConfigWidget::onBtnMirrorClick);
    connect(ui->tableViewLeft, &QTableView::doubleClicked, this,
            &StandardSectionConfigWidget::onTableViewDoubleClick);
    connect(ui->tableViewRight, &QTableView::doubleClicked, this,
            &StandardSectionConfigWidget::onTableViewDoubleClick);
    connect(ui->cbLineType, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &StandardSectionConfigWidget::onLineTypeChanged);
    connect(ui->leOffset, &QLineEdit::textEdited, this, &StandardSectionConfigWidget::markPivotEdited);
    connect(Trelvin::instance(), &Trelvin::onRoadOpen, this, &StandardSectionConfigWidget::onRoadOpened);
    // After the side models, which connect when they are made: their write on save clears the
    // category, and a pivot that cannot be written sets it again.
    connect(Trelvin::instance(), &Trelvin::checkBeforeSave, this,
            &StandardSectionConfigWidget::onCheckBeforeSave);
    connect(Trelvin::instance(), &Trelvin::aboutToSaveRoad, this,
            &StandardSectionConfigWidget::onAboutToSaveRoad);
}

StandardSectionConfigWidget::~StandardSectionConfigWidget() = default;

StandardSectionTableModel* StandardSectionConfigWidget::visibleModel() const
{
    return ui->tabWidget->currentIndex() == 0 ? m_leftModel : m_rightModel;
}

QTableView* StandardSectionConfigWidget::visibleTable() const
{
    return ui->tabWidget->currentIndex() == 0 ? ui->tableViewLeft : ui->tableViewRight;
}

int StandardSectionConfigWidget::selectedRow()
{
    const QModelIndex current = visibleTable()->currentIndex();
    if (current.isValid())
        return current.row();
    Prompter::instance()->warning(parentWidget(), QString(), tr("Please Select Data!"), QMessageBox::Ok);
    return -1;
}

QString StandardSectionConfigWidget::sideTitle() const
{
    return ui->tabWidget->currentIndex() == 0 ? tr("Cross Section(Left)") : tr("Cross Section(Right)");
}

void StandardSectionConfigWidget::onBtnAppendClick()
{
    CrossSectionDialog dialog(this);
    dialog.setWindowTitle(sideTitle());
    // The first element of a side has no element before it to step from.
    dialog.setHeightDiffEnabled(visibleModel()->rowCount() != 0);
    if (dialog.exec() == QDialog::Accepted)
        visibleModel()->append(dialog.element());
}

void StandardSectionConfigWidget::onBtnDeleteClick()
{
    const int row = selectedRow();
    if (row > -1)
        visibleModel()->removeAt(row);
}

void StandardSectionConfigWidget::onBtnEditClick()
{
    const int row = selectedRow();
    if (row > -1)
        editRow(row);
}

void StandardSectionConfigWidget::onTableViewDoubleClick(const QModelIndex& index)
{
    if (index.isValid())
        editRow(index.row());
}

void StandardSectionConfigWidget::editRow(int row)
{
    StandardSectionTableModel* model = visibleModel();
    if (row < 0 || row >= model->rowCount())
        return;
    CrossSectionDialog dialog(this);
    dialog.setWindowTitle(sideTitle());
    const Pelko::Road::CrossSectionElement stored = model->configuration().getAt(unsigned(row));
    dialog.setName(model->cellText(row, 0, true));
    dialog.setWidth(stored.getWidth(), model->editText(row, 1));
    dialog.setSlope(stored.getSlopeInPercentage(), model->editText(row, 2));
    dialog.setHeightDiff(stored.getDeltaElevationToPrevious(), model->editText(row, 3));
    dialog.setHeightDiffEnabled(row != 0);
    if (dialog.exec() == QDialog::Accepted)
        model->setAt(row, dialog.element());
}

bool StandardSectionConfigWidget::writePivot(bool warn)
{
    Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    if (!road)
        return false;
    double offset = 0.0;
    if (!readOffset(offset)) {
        if (warn) {
            Prompter::instance()->warning(this, QString(), tr("Offset is not a number!"), QMessageBox::Ok);
            ui->leOffset->setFocus();
        }
        return false;
    }
    const int type = ui->cbLineType->currentData().toInt();
    road->setPivouType(Pelko::Road::PivotType(type), offset);
    m_pivotEdited = false;
    return true;
}

bool StandardSectionConfigWidget::readOffset(double& meters) const
{
    bool readable = false;
    const double offset = Zemko::Trelvin::numberFromField(ui->leOffset->text(), &readable);
    meters = Zemko::Trelvin::storedOr(ui->leOffset, MeterToUnit::instance()->toMeters(offset));
    return readable;
}

void StandardSectionConfigWidget::markPivotEdited()
{
    m_pivotEdited = true;
    Trelvin::instance()->setEditFlags(DataType::StandardSection, true);
}

void StandardSectionConfigWidget::onCheckBeforeSave()
{
    double offset = 0.0;
    if (m_pivotEdited && !readOffset(offset))
        Trelvin::instance()->refuseWrite(DataType::StandardSection, tr("Offset is not a number!"));
}

void StandardSectionConfigWidget::onAboutToSaveRoad()
{
    if (!m_pivotEdited)
        return;
    if (!writePivot(false)) {
        // Keeps the save from passing: the offset typed is not a number.
        Trelvin::instance()->setEditFlags(DataType::StandardSection, true);
        return;
    }
    if (!m_leftModel->hasUnwrittenEdits() && !m_rightModel->hasUnwrittenEdits())
        Trelvin::instance()->setEditFlags(DataType::StandardSection, false);
}

void StandardSectionConfigWidget::onBtnApplyClick()
{
    // The pivot is written only when its fields were edited: the road keeps its own otherwise, even
    // one the line list does not offer.
    if (!Trelvin::instance()->road() || (m_pivotEdited && !writePivot(true)))
        return;
    const bool leftWritten = m_leftModel->applyChanges();
    const bool rightWritten = m_rightModel->applyChanges();
    const QString failure = Trelvin::instance()->writeFailureText(leftWritten && rightWritten);
    if (!leftWritten || !rightWritten)
        // The file does not hold the pivot yet either.
        markPivotEdited();
    else if (!m_leftModel->hasUnwrittenEdits() && !m_rightModel->hasUnwrittenEdits())
        Trelvin::instance()->setEditFlags(DataType::StandardSection, false);
    if (!failure.isEmpty())
        Prompter::instance()->warning(this, QString(), failure, QMessageBox::Ok);
    Trelvin::instance()->notifyDataChanged(DataType::StandardSection);
}

void StandardSectionConfigWidget::onBtnMirrorClick()
{
    const int replaced = ui->tabWidget->currentIndex() == 0 ? 1 : 0;
    // The mirrored side starts without points: the user has to know what goes with the old side.
    if (Trelvin::instance()->road()) {
        const Pelko::Road::CrossSectionConfiguration side
            = Zemko::Trelvin::CrossSectionEditCache::instance()->configuration(replaced);
        unsigned superelevation = 0;
        unsigned widening = 0;
        for (unsigned i = 0; i < side.size(); ++i) {
            const Pelko::Road::CrossSectionElementConfiguration element = side.elementConfigurationAt(i);
            superelevation += element.superelevationPointSize();
            widening += element.wideningPointSize();
        }
        if (superelevation + widening > 0) {
            const QString text = (replaced == 0 ? tr("Mirror replaces the left side by the right side. Its "
                                                     "%1 superelevation points and %2 widening points will "
                                                     "be removed.")
                                                : tr("Mirror replaces the right side by the left side. Its "
                                                     "%1 superelevation points and %2 widening points will "
                                                     "be removed."))
                                     .arg(superelevation)
                                     .arg(widening)
                + QLatin1Char('\n') + tr("Mirror all the same?");
            if (Prompter::instance()->question(this, tr("Mirror"), text, QMessageBox::Yes | QMessageBox::No,
                                               QMessageBox::No)
                != QMessageBox::Yes)
                return;
        }
    }
    ui->tabWidget->setCurrentIndex(replaced);
    visibleModel()->mirrorFromOtherSide();
}

void StandardSectionConfigWidget::onLineTypeChanged(int index)
{
    const int type = ui->cbLineType->itemData(index).toInt();
    if (Trelvin::instance()->road())
        markPivotEdited();
    ui->leOffset->setEnabled(type != Pelko::Road::PivotPlan);
    if (type != Pelko::Road::PivotPlan) {
        // Given back once: what is typed for this line must not be overwritten by the next change.
        if (!savedOffsetText.isEmpty()) {
            ui->leOffset->setText(savedOffsetText);
            savedOffsetText.clear();
        }
        return;
    }
    savedOffsetText = ui->leOffset->text();
    ui->leOffset->setText(planOffsetText);
}

void StandardSectionConfigWidget::onRoadOpened()
{
    const Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
    if (!road)
        return;
    // An offset typed for the previous road means nothing for this one.
    savedOffsetText.clear();
    m_pivotEdited = false;
    const int type = road->getPivotType();
    const int index = ui->cbLineType->findData(type);
    if (index >= 0) {
        const QSignalBlocker blocker(ui->cbLineType);
        ui->cbLineType->setCurrentIndex(index);
    }
    ui->leOffset->setEnabled(type != Pelko::Road::PivotPlan);
    const double offset = type != Pelko::Road::PivotPlan ? road->getPivotOffset() : 0.0;
    Zemko::Trelvin::showStored(ui->leOffset, offset,
                               type != Pelko::Road::PivotPlan
                                   ? QString::number(MeterToUnit::instance()->fromMeters(offset), 'f', 5)
                                   : planOffsetText);
}
