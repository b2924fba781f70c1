// Arbitrary bytes as a CASS point file through the point-file job: read, and when every line reads,
// triangulated and written into a TIN database.
#include <tingeneratorprivate.h>

#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString input = QDir::temp().filePath(QStringLiteral("tolvin_fuzz_%1.dat").arg(getpid()));
    static const QString output = QDir::temp().filePath(QStringLiteral("tolvin_fuzz_%1.qvr").arg(getpid()));
    {
        QFile file(input);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    QFile::remove(output);
    Zemko::Trelvin::DatData job(input, output);
    job.succeeded = job.generate();
    // The percent stays within 0 to 100, and a failure always says why.
    const int percent = job.progress();
    if (percent < 0 || percent > 100 || (!job.succeeded && job.message.isEmpty()))
        __builtin_trap();
    return 0;
}
