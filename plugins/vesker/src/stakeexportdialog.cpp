#include "stakeexportdialog.h"

#include "stakeexportprompter.h"
#include "stakelistmodel.h"
#include "ui_stakeexportdialog.h"

#include <text/stationtext.h>

#include <road/roadsurface.h>
#include <road/station.h>

#include <QDir>
#include <QDoubleValidator>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QSettings>

#include <cmath>

using Zemko::Trelvin::StakeExportPrompter;
using Zemko::Trelvin::StakeListModel;

namespace {

QDoubleValidator* numberValidator(double bottom, double top, QObject* parent)
{
    auto* validator = new QDoubleValidator(bottom, top, 2, parent);
    // Without group separators: "2,5" would stay in the edit as a half-typed number and read as 0.
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    validator->setLocale(c);
    return validator;
}

// 0 for a text that is not a number. A number too large for a double reads as infinity, beyond any
// range, rather than as 0.
double numberFromEdit(const QString& text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok || std::isinf(value) ? value : 0.0;
}

// Whether a number read from the edit lies above the top of its validator's range (or below its
// bottom, when low is given): the validator leaves such a text in the edit as half-typed, and the
// stakes would be computed from it.
bool beyondRange(const QLineEdit* edit, double value, bool low)
{
    const auto* validator = qobject_cast<const QDoubleValidator*>(edit->validator());
    if (!validator || std::isnan(value))
        return false;
    return value > validator->top() || (low && value < validator->bottom());
}

QString rangeText(const QLineEdit* edit)
{
    const auto* validator = qobject_cast<const QDoubleValidator*>(edit->validator());
    const QLocale c = QLocale::c();
    return validator
        ? QStringLiteral("%1 .. %2")
              .arg(c.toString(validator->bottom(), 'g', 15), c.toString(validator->top(), 'g', 15))
        : QString();
}

QString stationText(const Pelko::Road::RoadSurface& road, double continuous)
{
    const Pelko::Road::Station station = road.getStationsEquations().getStationFromContinuous(continuous);
    return Zemko::Trelvin::stationToText(station.getStation(), station.isAfter());
}

// ".csv" for the stake list's filter, ".dat" (the CASS file, the dialog's first filter) otherwise.
QString suffixOfFilter(const QString& filter)
{
    return filter.contains(QLatin1String("*.csv"), Qt::CaseInsensitive) ? QStringLiteral(".csv")
                                                                        : QStringLiteral(".dat");
}

} // namespace

StakeExportDialog::StakeExportDialog(Pelko::Road::RoadSurface* road, QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::StakeExportDialog>())
{
    ui->setupUi(this);
    m_model = new StakeListModel(road, this);
    ui->tableView->setModel(m_model);
    // The cells' size hint is a row height; at the default column width stations and azimuths are cut.
    ui->tableView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    ui->startStationEdit->setValidator(new Zemko::Trelvin::StationValidator(this));
    ui->endStationEdit->setValidator(new Zemko::Trelvin::StationValidator(this));
    ui->intervalEdit->setValidator(numberValidator(0.1, 1000000, this));
    ui->offsetEdit->setValidator(numberValidator(-1000000, 1000000, this));

    ui->intervalEdit->setText(QStringLiteral("20"));
    ui->offsetEdit->setText(QStringLiteral("0.0"));
    double begin = 0.0;
    double end = 0.0;
    if (road && road->getStationRange(begin, end)) {
        ui->startStationEdit->setText(stationText(*road, begin));
        ui->endStationEdit->setText(stationText(*road, end));
    }

    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
}

StakeExportDialog::~StakeExportDialog() = default;

Pelko::Road::Station StakeExportDialog::stationFromEdit(const QString& text)
{
    bool before = true;
    const double value = Zemko::Trelvin::stationFromText(text, &before);
    return Pelko::Road::Station(value, !before);
}

void StakeExportDialog::on_generateButton_clicked()
{
    const double interval = numberFromEdit(ui->intervalEdit->text());
    const double offset = numberFromEdit(ui->offsetEdit->text());
    // An interval too small is the list's own refusal; one too large, or an offset out of range, is
    // the edits'.
    if (beyondRange(ui->intervalEdit, interval, false)) {
        refuseNumber(ui->intervalEdit, tr("Interval must lie within %1").arg(rangeText(ui->intervalEdit)));
        return;
    }
    if (beyondRange(ui->offsetEdit, offset, true)) {
        refuseNumber(ui->offsetEdit, tr("Offset must lie within %1").arg(rangeText(ui->offsetEdit)));
        return;
    }
    const QString message = m_model->generate(stationFromEdit(ui->startStationEdit->text()),
                                              stationFromEdit(ui->endStationEdit->text()), interval, offset);
    if (!message.isEmpty())
        StakeExportPrompter::instance()->critical(this, tr("Generate Failed"), message);
}

void StakeExportDialog::refuseNumber(QLineEdit* edit, const QString& message)
{
    StakeExportPrompter::instance()->critical(this, tr("Generate Failed"), message);
    edit->setFocus();
    edit->selectAll();
}

void StakeExportDialog::on_exportButton_clicked()
{
    QSettings settings(QStringLiteral("Zemko"), QStringLiteral("VeskerPlugin"));
    const QString folder = settings.value(QStringLiteral("RecentPath"), QDir::homePath()).toString();
    QString selectedFilter = QStringLiteral("*.dat");
    QString path = StakeExportPrompter::instance()->getSaveFileName(
        this, tr("Export To"), folder, tr("CASS Data File (*.dat);;Stake Data (*.csv)"), &selectedFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty()) {
        // A name typed without its extension takes the chosen filter's, as file dialogs do; the dialog
        // asked about the bare name, not about this file.
        path += suffixOfFilter(selectedFilter);
        if (QFileInfo::exists(path)
            && !StakeExportPrompter::instance()->confirm(
                this, tr("Export To"),
                tr("%1 already exists.\nDo you want to replace it?").arg(QDir::toNativeSeparators(path))))
            return;
    }
    settings.setValue(QStringLiteral("RecentPath"), QFileInfo(path).absolutePath());

    QString warning;
    const QString message = m_model->exportFile(path, &warning);
    if (!message.isEmpty())
        StakeExportPrompter::instance()->critical(this, tr("Export Failed"), message);
    else if (!warning.isEmpty())
        StakeExportPrompter::instance()->warning(this, tr("Export To"), warning);
}
