#pragma once

#include <QString>
#include <QThread>

#include <memory>

namespace Zemko::Trelvin {

class TinGeneratorPrivate;

// Builds a TIN database from a DXF drawing (".dxf") or a CASS point file (".dat") on its own thread.
// The object itself lives on the creating thread, where it reports progress every 500 ms.
class TinGenerator : public QThread
{
    Q_OBJECT

public:
    // The job follows the input's suffix in any letter case; any other input gets none and fails.
    TinGenerator(const QString& inputPath, const QString& outputPath);
    // Waits for the thread; the job then removes the file of a new TIN that was not put in place.
    ~TinGenerator() override;

    // The run stops at its next look at the flag (between chunks of the input read, batches of lines,
    // steps of the triangulation, rows, and steps of the border) and counts as failed: the file it was
    // writing is removed and the output path left as it was. Once the new TIN is in place a cancel comes
    // too late to change that.
    void cancel();
    bool isSucceeded() const;
    // Once the thread has ended: why the run failed (empty for a cancel), or what a successful run left
    // out; empty when there is nothing to tell.
    QString message() const;
    // Deletes the generator once its thread has ended, at once when it is not running. Until then it is
    // among the abandoned generators, which finishAbandoned() waits for.
    void disposeWhenFinished();
    // Cancels every abandoned generator still running, waits for its thread and deletes it, removing the
    // file it was writing. Runs when the application is about to quit; the plug-in calls it when it goes,
    // before its code could be unloaded under a running thread. On the main thread only.
    static void finishAbandoned();

    // Null when the input's suffix names no job.
    TinGeneratorPrivate* job() const;

signals:
    // 0 to 100.
    void progress(int percentage);

protected:
    void run() override;
    void timerEvent(QTimerEvent* event) override;

private:
    int percent() const;
    void onThreadFinished();

    std::unique_ptr<TinGeneratorPrivate> d;
    int m_timer = 0;
};

} // namespace Zemko::Trelvin
