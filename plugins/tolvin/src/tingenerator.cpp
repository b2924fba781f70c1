#include "tingenerator.h"

#include "tingeneratorprivate.h"

#include <QCoreApplication>
#include <QTimerEvent>

#include <algorithm>
#include <new>
#include <vector>

namespace Zemko::Trelvin {

namespace {

// Generators handed to disposeWhenFinished() and not yet deleted, and the hook that finishes them when the
// application quits.
std::vector<TinGenerator*> abandoned;
QMetaObject::Connection quitHook;

} // namespace

TinGenerator::TinGenerator(const QString& inputPath, const QString& outputPath)
{
    if (inputPath.endsWith(QLatin1String(".dxf"), Qt::CaseInsensitive))
        d = std::make_unique<DxfData>(inputPath, outputPath);
    else if (inputPath.endsWith(QLatin1String(".dat"), Qt::CaseInsensitive))
        d = std::make_unique<DatData>(inputPath, outputPath);
    if (!d)
        return;
    m_timer = startTimer(500, Qt::CoarseTimer);
    // The last timer tick may come long before the end: report the final state once.
    connect(this, &QThread::finished, this, &TinGenerator::onThreadFinished);
}

TinGenerator::~TinGenerator()
{
    abandoned.erase(std::remove(abandoned.begin(), abandoned.end(), this), abandoned.end());
    wait();
    d.reset();
}

void TinGenerator::cancel()
{
    if (d)
        d->cancelled = true;
}

bool TinGenerator::isSucceeded() const
{
    return d && d->succeeded && !d->cancelled;
}

QString TinGenerator::message() const
{
    if (!d)
        return tr("The data file must be a CASS point file (.dat) or a DXF drawing (.dxf).");
    return d->message;
}

void TinGenerator::disposeWhenFinished()
{
    if (std::find(abandoned.begin(), abandoned.end(), this) == abandoned.end())
        abandoned.push_back(this);
    if (!quitHook && QCoreApplication::instance())
        quitHook = connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                           QCoreApplication::instance(), &TinGenerator::finishAbandoned);
    connect(this, &QThread::finished, this, &QObject::deleteLater);
    // Had the thread ended before the connection, finished() would never come again. A second
    // deleteLater is harmless: Qt drops a deferred delete already pending.
    if (!isRunning())
        deleteLater();
}

void TinGenerator::finishAbandoned()
{
    // Deleting a generator takes it off the list.
    while (!abandoned.empty()) {
        TinGenerator* generator = abandoned.back();
        generator->cancel();
        delete generator;
    }
    QObject::disconnect(quitHook);
    quitHook = QMetaObject::Connection();
}

TinGeneratorPrivate* TinGenerator::job() const
{
    return d.get();
}

void TinGenerator::run()
{
    if (!d)
        return;
    try {
        d->succeeded = d->generate();
    } catch (const std::bad_alloc&) {
        // Reading the points or triangulating them: the old TIN is kept.
        d->succeeded = false;
        d->memoryRanOut();
    }
    // At once, not when the generator goes: the dialog tells the outcome before that.
    if (!d->succeeded)
        d->discardOutput();
}

void TinGenerator::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timer) {
        QThread::timerEvent(event);
        return;
    }
    emit progress(percent());
}

int TinGenerator::percent() const
{
    return std::clamp(d->progress(), 0, 100);
}

void TinGenerator::onThreadFinished()
{
    if (m_timer) {
        killTimer(m_timer);
        m_timer = 0;
    }
    emit progress(percent());
}

} // namespace Zemko::Trelvin
