#pragma once

#include <QFile>
#include <QString>

#include <functional>
#include <memory>

namespace Zemko::Trelvin {

// An input file read with plain reads in chunks, whole into memory or passed through. A mapped file that
// another program cuts short meanwhile kills the process at the next touch of a page past its new end;
// read this way, a file that changes under the reader is an outcome to report.
class InputFile
{
public:
    enum Outcome {
        Read,
        CannotOpen, // errorString() tells why
        Empty,
        TooLarge,
        Changed, // cut short, grown, rewritten or replaced while it was read
        ReadFailed, // errorString() tells why
        Cancelled,
    };

    // Bytes between two looks at the stop callback.
    static constexpr qint64 defaultChunk = qint64(1) << 20;

    // Reads file, which must not be open; it is left open.
    explicit InputFile(QFile& file);

    // Opens the file and checks its size: at least a byte, at most largest bytes. Reads nothing.
    Outcome open(quint64 largest);
    // Reads the file opened by open() into one block. stop is asked before every chunk; once it says true
    // the read ends as Cancelled. On anything but Read no bytes are kept.
    Outcome read(const std::function<bool()>& stop, qint64 chunk = defaultChunk);
    // The same, handing each chunk to take in turn instead of keeping it. The file is left at its end.
    Outcome scan(const std::function<bool()>& stop, const std::function<void(const char*, qint64)>& take,
                 qint64 chunk = defaultChunk);
    // Whether the file still is as open() found it: the same size and modification time, and the file at
    // its path.
    bool unchanged() const;

    const char* data() const;
    quint64 size() const;
    QString errorString() const;
    // Frees the bytes.
    void clear();

private:
    struct Stamp
    {
        bool valid = false;
        qint64 size = 0;
        qint64 modified = 0; // nanoseconds
        quint64 device = 0;
        quint64 inode = 0;
        bool operator==(const Stamp& other) const;
    };
    Outcome pass(const std::function<bool()>& stop, qint64 chunk, char* block,
                 const std::function<void(const char*, qint64)>& take);
    Stamp openStamp() const;
    Stamp pathStamp() const;
    Outcome fail(Outcome outcome, const QString& error = QString());

    struct Free
    {
        void operator()(char* data) const;
    };

    QFile& m_file;
    Stamp m_before;
    std::unique_ptr<char, Free> m_data;
    quint64 m_size = 0;
    QString m_error;
};

} // namespace Zemko::Trelvin
