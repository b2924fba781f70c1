#include "check/roadcheckdialog.h"

#include "check/checkstepping.h"
#include "check/roadcheckmodel.h"
#include "document/prompter.h"
#include "document/reminder.h"
#include "ui_roadcheckdialog.h"

#include <text/stationtext.h>

#include <QDoubleValidator>
#include <QHeaderView>

using Zemko::Trelvin::RoadCheckModel;
namespace CheckStepping = Zemko::Trelvin::CheckStepping;

RoadCheckDialog::RoadCheckDialog(int page, Pelko::Road::RoadSurface* road, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::RoadCheckDialog)
    , m_model(nullptr)
{
    ui->setupUi(this);
    ui->stackedWidget->setCurrentIndex(page);

    m_model = new RoadCheckModel(road, this);
    ui->tableView->setModel(m_model);
    // All nine rows in view without scrolling, and room for the longest value (an azimuth).
    QTableView* table = ui->tableView;
    table->horizontalHeader()->setStretchLastSection(true);
    // Every cell hints the same small size, so the columns are measured from their texts.
    const QFontMetrics metrics = table->fontMetrics();
    const int padding = 2 * metrics.averageCharWidth() + 8;
    int labels = 0;
    for (int row = 0; row < m_model->rowCount(); ++row)
        labels = qMax(labels, metrics.horizontalAdvance(m_model->cellText(row, 0)));
    table->setColumnWidth(0, labels + padding);
    const int values = metrics.horizontalAdvance(QStringLiteral("359:59:59.99999")) + padding;
    const int frame = 2 * table->frameWidth();
    table->setMinimumWidth(table->verticalHeader()->sizeHint().width() + labels + padding + values + frame);
    table->setMinimumHeight(table->horizontalHeader()->sizeHint().height() + table->verticalHeader()->length()
                            + frame);

    QDoubleValidator* coordinate = CheckStepping::numberValidator(this);
    ui->xEdit->setValidator(coordinate);
    ui->yEdit->setValidator(coordinate);
    ui->intervalEdit->setValidator(CheckStepping::intervalValidator(this));
    ui->stationEdit->setValidator(new Zemko::Trelvin::StationValidator(this));
    // Offsets are plain numbers too: text the parser cannot read would otherwise count silently.
    ui->offsetEdit->setValidator(CheckStepping::numberValidator(this));
    ui->intervalEdit->setText(QString::number(m_model->interval(), 'f', 3));
}

RoadCheckDialog::~RoadCheckDialog()
{
    delete ui;
}

void RoadCheckDialog::on_calculateButton_clicked()
{
    double north = 0.0;
    double east = 0.0;
    if (!CheckStepping::numberFromText(ui->xEdit->text(), north)
        || !CheckStepping::numberFromText(ui->yEdit->text(), east)) {
        Zemko::Trelvin::Prompter::instance()->warning(this, Zemko::Trelvin::Reminder::tr("Trelvin"),
                                                      tr("Type the point's N and E."));
        return;
    }
    if (!m_model->setPoint(Pelko::Corvex::Point(north, east)))
        Zemko::Trelvin::Prompter::instance()->warning(this, Zemko::Trelvin::Reminder::tr("Trelvin"),
                                                      tr("The point lies beside no part of the alignment."));
}

void RoadCheckDialog::on_backwardButton_clicked()
{
    m_model->previous();
    refreshStationPage();
}

void RoadCheckDialog::on_forwardButton_clicked()
{
    m_model->next();
    refreshStationPage();
}

void RoadCheckDialog::on_stationEdit_textEdited(const QString&)
{
    applyStationField();
}

void RoadCheckDialog::on_intervalEdit_textEdited(const QString&)
{
    double interval = 0.0;
    if (CheckStepping::intervalFromField(ui->intervalEdit, interval))
        m_model->setInterval(interval);
    applyStationField();
}

void RoadCheckDialog::on_offsetEdit_textEdited(const QString& text)
{
    double offset = 0.0;
    if (CheckStepping::numberFromText(text, offset))
        m_model->setOffset(offset);
    applyStationField();
}

void RoadCheckDialog::refreshStationPage()
{
    // Without a position there is no station to show; the typed one stays.
    const QString station = m_model->cellText(RoadCheckModel::StationRow, 1);
    if (!station.isEmpty())
        ui->stationEdit->setText(station);
    ui->backwardButton->setEnabled(m_model->hasPrevious());
    ui->forwardButton->setEnabled(m_model->hasNext());
}

void RoadCheckDialog::applyStationField()
{
    Pelko::Road::Station station;
    if (!CheckStepping::stationFromField(ui->stationEdit->text(), station))
        return;
    m_model->setStation(station);
    ui->stationMessage->setText(m_model->stationMessage());
}
