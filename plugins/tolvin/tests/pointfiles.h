#pragma once

#include <tingeneratorprivate.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QThread>

#include <cstdio>
#include <random>

// A CASS point file of random points on a 1 km square, large enough that a generation runs for a
// while; false when it cannot be written.
inline bool writeRandomPoints(const QString& path, int count)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(0, 1000);
    std::uniform_real_distribution<double> height(100, 120);
    QByteArray text;
    char line[96];
    for (int i = 0; i < count; ++i) {
        int n = std::snprintf(line, sizeof line, "P%d,,%.3f,%.3f,%.3f\n", i, coordinate(random),
                              coordinate(random), height(random));
        text.append(line, n);
    }
    return file.write(text) == text.size();
}

// The files of new TINs being written beside the target, by name.
inline QStringList beside(const QString& target)
{
    const QFileInfo info(target);
    return info.dir().entryList({ info.fileName() + QStringLiteral(".~*") },
                                QDir::Files | QDir::Hidden | QDir::System);
}

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// Waits, without turning the event loop (so no finish is handled meanwhile), until the job reports
// more than the given percent or its thread has ended.
inline bool waitForProgress(const QThread& thread, const Zemko::Trelvin::TinGeneratorPrivate& job,
                            int percent)
{
    QDeadlineTimer deadline(120000);
    while (job.progress() <= percent && !thread.isFinished()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(2);
    }
    return true;
}
