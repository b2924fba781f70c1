#include "check/stationcheckdialog.h"

#include "check/checkstepping.h"
#include "check/crosssectionslopecurve.h"
#include "check/stationcheckmodel.h"
#include "framework/roadplot.h"
#include "ui_stationcheckdialog.h"

#include <text/stationtext.h>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QTableView>

#include <algorithm>
#include <cmath>

using Zemko::Trelvin::StationCheckModel;
namespace CheckStepping = Zemko::Trelvin::CheckStepping;

namespace {

// Share of the section's extent the view keeps free on each side when it must move.
constexpr double sectionMargin = 0.1;

} // namespace

StationCheckDialog::StationCheckDialog(Pelko::Road::RoadSurface* road, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::StationCheckDialog)
{
    ui->setupUi(this);

    m_plot = new Zemko::Trelvin::RoadPlot(this);
    m_curve = new Zemko::Trelvin::CrossSectionSlopeCurve(tr("Cross Section & Slope"), Qt::green);
    m_curve->attach(m_plot);

    auto* tables = new QWidget(this);
    auto* leftView = new QTableView(tables);
    leftView->setObjectName(QStringLiteral("leftTableView"));
    m_leftModel = new StationCheckModel(road, this);
    auto* rightView = new QTableView(tables);
    rightView->setObjectName(QStringLiteral("rightTableView"));
    m_rightModel = new StationCheckModel(road, this);
    m_rightModel->showLeft = false;
    leftView->setModel(m_leftModel);
    rightView->setModel(m_rightModel);
    for (QTableView* view : { leftView, rightView }) {
        // Names are short; the coordinates need the room.
        view->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
        view->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    }

    auto* tablesLayout = new QHBoxLayout(tables);
    tablesLayout->setContentsMargins(0, 0, 0, 0);
    tablesLayout->addWidget(leftView);
    tablesLayout->addWidget(rightView);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(tables);
    splitter->addWidget(m_plot);
    ui->verticalLayout_2->addWidget(splitter);

    ui->intervalEdit->setValidator(CheckStepping::intervalValidator(this));
    ui->stationEdit->setValidator(new Zemko::Trelvin::StationValidator(this));
    // Offsets are plain numbers too: text the parser cannot read would otherwise count silently.
    ui->offsetEdit->setValidator(CheckStepping::numberValidator(this));
    ui->intervalEdit->setText(QString::number(m_leftModel->interval(), 'f', 3));

    setWindowFlags(Qt::Dialog | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
}

StationCheckDialog::~StationCheckDialog()
{
    m_curve->detach();
    delete m_curve;
    delete ui;
}

QRectF StationCheckDialog::viewRect(const QList<QPointF>& line, const QwtInterval& x, const QwtInterval& y,
                                    const QRectF& fallback)
{
    bool any = false;
    double minX = 0.0, maxX = 0.0, minY = 0.0, maxY = 0.0;
    for (const QPointF& point : line) {
        if (!std::isfinite(point.x()) || !std::isfinite(point.y()))
            continue;
        if (!any) {
            minX = maxX = point.x();
            minY = maxY = point.y();
            any = true;
            continue;
        }
        minX = std::min(minX, point.x());
        maxX = std::max(maxX, point.x());
        minY = std::min(minY, point.y());
        maxY = std::max(maxY, point.y());
    }
    if (!any)
        return fallback;
    const double w = maxX - minX;
    const double h = maxY - minY;
    const double xl = x.minValue();
    const double xr = x.maxValue();
    const double yb = y.minValue();
    const double yt = y.maxValue();

    const double left = xl > minX || minX - xl > w ? minX - 0.5 : xl;
    const double right = maxX > xr || xr - maxX > w ? maxX + 0.5 : xr;
    const double bottom = yb > minY || minY - yb > 10.0 * h ? minY - 0.5 : yb;
    const double top = maxY > yt || yt - maxY > 10.0 * h ? maxY + 0.5 : yt;
    return QRectF(QPointF(left, bottom), QPointF(right, top));
}

void StationCheckDialog::on_backwardButton_clicked()
{
    m_leftModel->previous();
    m_rightModel->previous();
    refreshSteppingControls();
    applyStationField();
}

void StationCheckDialog::on_forwardButton_clicked()
{
    m_leftModel->next();
    m_rightModel->next();
    refreshSteppingControls();
    applyStationField();
}

void StationCheckDialog::on_stationEdit_textEdited(const QString&)
{
    applyStationField();
}

void StationCheckDialog::on_intervalEdit_textEdited(const QString&)
{
    double interval = 0.0;
    if (CheckStepping::intervalFromField(ui->intervalEdit, interval)) {
        m_leftModel->setInterval(interval);
        m_rightModel->setInterval(interval);
    }
    applyStationField();
}

void StationCheckDialog::on_offsetEdit_textEdited(const QString& text)
{
    // An emptied field is offset 0; half-typed text ("-") keeps the offset until it reads.
    double offset = 0.0;
    if (text.trimmed().isEmpty() || CheckStepping::numberFromText(text, offset)) {
        m_leftModel->setOffset(offset);
        m_rightModel->setOffset(offset);
    }
    applyStationField();
}

void StationCheckDialog::refreshSteppingControls()
{
    const QString text = m_leftModel->stationText();
    if (!text.isEmpty())
        ui->stationEdit->setText(text);
    ui->backwardButton->setEnabled(m_leftModel->hasPrevious());
    ui->forwardButton->setEnabled(m_leftModel->hasNext());
}

void StationCheckDialog::applyStationField()
{
    Pelko::Road::Station station;
    if (!CheckStepping::stationFromField(ui->stationEdit->text(), station))
        return;
    m_leftModel->setStation(station);
    m_rightModel->setStation(station);
    ui->stationMessage->setText(m_leftModel->stationMessage());

    const QList<QPointF> line = m_leftModel->sectionLine();
    m_curve->setLine(line);
    m_curve->setNamedPoints(m_leftModel->plotPoints());
    m_curve->setPlateMarkers(m_leftModel->plateMarkers());
    m_curve->setSlopeMarkers(m_leftModel->slopeMarkers());

    m_plot->setScaleRect(viewRect(line, m_plot->axisInterval(QwtPlot::xBottom),
                                  m_plot->axisInterval(QwtPlot::yLeft), m_curve->boundingRect()));
    // A view that holds the section may still cut the texts beside its outermost points (the slope
    // labels above it, the names below). The view made for them keeps more room than a page's fit, so
    // that the sections of the next stations, a little wider or higher, keep it.
    const QVector<Zemko::Trelvin::PlotLabel> labels = m_curve->fitLabels();
    if (!m_plot->showsWhole(labels))
        m_plot->fitTo(m_curve->boundingRect(), labels, sectionMargin);
    m_plot->replot();
}
