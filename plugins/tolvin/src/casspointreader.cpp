#include "casspointreader.h"

#include "inputfile.h"

#include <io/trianglertreecontrol.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <limits>

using Pelko::IO::TriangleRTreeControl;

namespace Zemko::Trelvin {

namespace {

// Lines read between two looks at the cancel flag.
constexpr qint64 cancelBatch = 4096;

QString translate(const char* text)
{
    return QCoreApplication::translate("TinDialog", text);
}

} // namespace

CassPointReader::CassPointReader(const QString& path)
    : m_path(path)
{
    m_points.reserve(1000);
}

void CassPointReader::setCancelFlag(const std::atomic<bool>* cancelled)
{
    m_cancelled = cancelled;
}

bool CassPointReader::read()
{
    m_points.clear();
    m_error.clear();
    m_percent.store(0, std::memory_order_relaxed);
    const QString name = QDir::toNativeSeparators(m_path);

    QFile file(m_path);
    InputFile input(file);
    // Some 60 million points and more: refused rather than triangulated for many minutes.
    switch (input.open(std::numeric_limits<int>::max())) {
    case InputFile::Read:
        break;
    case InputFile::Empty:
        m_error = QCoreApplication::translate("TinDialog", "The point file %1 is empty.").arg(name);
        return false;
    case InputFile::TooLarge:
        m_error
            = QCoreApplication::translate("TinDialog", "The point file %1 is larger than 2 GB.").arg(name);
        return false;
    default:
        m_error = QCoreApplication::translate("TinDialog", "Cannot open the point file %1: %2.")
                      .arg(name, input.errorString());
        return false;
    }
    const QString changed
        = QCoreApplication::translate("TinDialog", "The point file %1 changed while it was read.").arg(name);
    const auto isCancelled = [this] { return m_cancelled && m_cancelled->load(); };

    // The lines are counted first, for the percent; a last line without a line feed counts too.
    qint64 lines = 0;
    char last = '\n';
    switch (input.scan(isCancelled, [&](const char* data, qint64 length) {
        lines += std::count(data, data + length, '\n');
        last = data[length - 1];
    })) {
    case InputFile::Read:
        break;
    case InputFile::Cancelled:
        return false;
    case InputFile::Changed:
        m_error = changed;
        return false;
    default:
        m_error = QCoreApplication::translate("TinDialog", "Cannot read the point file %1: %2.")
                      .arg(name, input.errorString());
        return false;
    }
    lines += last != '\n';

    bool ok = true;
    bool cancelled = false;
    {
        // Read through the file in small pieces: no copy of it is held.
        file.seek(0);
        QTextStream stream(&file);
        // The first of the blank lines read since the last point: an error only when a point follows.
        qint64 blank = 0;
        for (qint64 number = 1;; ++number) {
            if (number % cancelBatch == 0 && isCancelled()) {
                cancelled = true;
                break;
            }
            const QString line = stream.readLine();
            if (line.isNull())
                break;
            m_percent.store(static_cast<int>(std::min<qint64>(number, lines) * 100 / lines),
                            std::memory_order_relaxed);
            const QString text = line.trimmed();
            if (text.isEmpty()) {
                if (!blank)
                    blank = number;
                continue;
            }
            if (blank) {
                m_error = QCoreApplication::translate("TinDialog", "Line %1 of %2 is empty.")
                              .arg(blank)
                              .arg(name);
                ok = false;
                break;
            }
            const QString problem = parseLine(text, number);
            if (!problem.isEmpty()) {
                m_error = problem;
                ok = false;
                break;
            }
        }
    }
    if (cancelled)
        return false;
    // Cut short, grown or rewritten meanwhile: what was read, and whatever went wrong with it, is not the
    // file's.
    if (!input.unchanged()) {
        m_error = changed;
        return false;
    }
    if (ok && m_points.empty()) {
        m_error = QCoreApplication::translate("TinDialog", "The point file %1 holds no points.").arg(name);
        ok = false;
    }
    return ok;
}

QString CassPointReader::parseLine(const QString& text, qint64 number)
{
    const QVector<QStringRef> fields = text.splitRef(QLatin1Char(','), Qt::KeepEmptyParts);
    if (fields.size() < 5)
        return QCoreApplication::translate("TinDialog",
                                           "Line %1 of %2 holds %3 fields; a point needs five: name, code, "
                                           "east, north, height.")
            .arg(number)
            .arg(QDir::toNativeSeparators(m_path))
            .arg(fields.size());
    // North first, then east, then the height.
    static const char* const what[]
        = { QT_TRANSLATE_NOOP("TinDialog", "north coordinate"),
            QT_TRANSLATE_NOOP("TinDialog", "east coordinate"), QT_TRANSLATE_NOOP("TinDialog", "height") };
    const int columns[] = { 3, 2, 4 };
    double values[3];
    for (int i = 0; i < 3; ++i) {
        const QStringRef field = fields.at(columns[i]).trimmed();
        bool ok = false;
        values[i] = field.toDouble(&ok);
        const char* problem = nullptr;
        // toDouble takes "nan" and "inf", and fails with an infinity on an overflow.
        if (!ok && !std::isinf(values[i]))
            problem = QT_TRANSLATE_NOOP("TinDialog", "Line %1 of %2: the %3 \"%4\" is not a number.");
        else if (ok && !std::isfinite(values[i]))
            problem = QT_TRANSLATE_NOOP("TinDialog", "Line %1 of %2: the %3 \"%4\" is not a finite number.");
        else if (!TriangleRTreeControl::isStorable(values[i]))
            problem = QT_TRANSLATE_NOOP("TinDialog",
                                        "Line %1 of %2: the %3 \"%4\" is too large; a TIN holds coordinates "
                                        "up to 1e38 in size.");
        if (problem)
            return translate(problem).arg(number).arg(QDir::toNativeSeparators(m_path), translate(what[i]),
                                                      field.toString());
    }
    m_points.emplace_back(values[0], values[1], values[2]);
    return QString();
}

const std::vector<Pelko::Corvex::Point3D>& CassPointReader::points() const
{
    return m_points;
}

int CassPointReader::progress() const
{
    return m_percent.load(std::memory_order_relaxed);
}

QString CassPointReader::errorString() const
{
    return m_error;
}

} // namespace Zemko::Trelvin
