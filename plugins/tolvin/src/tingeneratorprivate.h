#pragma once

#include "casspointreader.h"
#include "inputfile.h"

#include <io/iprogress.h>

#include <QFile>
#include <QString>

#include <atomic>
#include <memory>

namespace Pelko::IO {
class MemoryFile;
struct DxfConversion;
}
namespace Pelko::Road {
class AtomicFile;
}

namespace Zemko::Trelvin {

// One generation from an input file into a TIN database. generate() runs on the generator's thread,
// progress() on the main thread meanwhile, so everything they share is atomic.
//
// The new TIN replaces the output path as a road save does (Pelko::Road::AtomicFile): it is written
// beside it, under a name of its own, into a file that has the old TIN's rights from the start, and
// renamed over it only once it is complete, so a run that fails or is cancelled leaves a TIN already
// there as it was. A file at the output path that is not a TIN database is never replaced.
class TinGeneratorPrivate
{
public:
    TinGeneratorPrivate(const QString& inputPath, const QString& outputPath);
    // Removes the file of a new TIN that was not put in place.
    virtual ~TinGeneratorPrivate();

    // Percent of the work done, 0 to 100.
    virtual int progress() const = 0;
    // Writes the new TIN and puts it in place; sets message on the way.
    virtual bool generate() = 0;

    // Removes the file of the new TIN unless it was put in place; the output path is left as it is.
    void discardOutput();
    // Sets message for memory run out on the way (none after a cancel).
    void memoryRanOut();

    // True when a file at path may be replaced by a new TIN: it is a TIN database. hotJournal, where
    // given, tells whether it could not be read for the journal of an unfinished write beside it; inUse,
    // whether another program kept it locked for writing. Looking creates nothing beside it.
    static bool isTinDatabase(const QString& path, bool* hotJournal = nullptr, bool* inUse = nullptr);
    // Why no new TIN may be put at path, empty where one may: the file there (links followed) is not a
    // TIN database, or another program is writing it; SQLite would play a journal or write-ahead log
    // beside it (also beside an absent file) into the new TIN, or something other than a file lies at
    // their names; or the path is too long for SQLite. notATin, where given, tells the first.
    static QString refusalAt(const QString& path, bool* notATin = nullptr);

    TinGeneratorPrivate(const TinGeneratorPrivate&) = delete;
    TinGeneratorPrivate& operator=(const TinGeneratorPrivate&) = delete;

    QString inputPath;
    QFile inputFile;
    QString outputPath;
    std::atomic<bool> cancelled { false };
    std::atomic<bool> succeeded { false };
    // What the user should know besides success or failure: why a run failed (empty for a cancel), or
    // what a successful one left out. Written by generate(), read once its thread has ended.
    QString message;

protected:
    // Hands the writers the job's cancel flag and takes their percent into writerPercent.
    class CancelFlag : public Pelko::IO::IProgress
    {
    public:
        explicit CancelFlag(TinGeneratorPrivate& job);
        void report(int percent) override;
        bool isCancelled() const override;

    private:
        TinGeneratorPrivate& m_job;
    };

    // Called on the generator's thread each time a writer reports or asks whether the run is cancelled,
    // while work remains.
    virtual void writerCalled() const { }
    // What progress() shows: share (0 to 100 of the run) while work remains, held below 100 until done.
    int shown(int share) const;

    // The writer's percent, 0 to 100: it reaches 100 once the new TIN is committed.
    std::atomic<int> writerPercent { 0 };
    // Set once the new TIN is in place.
    std::atomic<bool> done { false };

    // Creates the file the new TIN is written into, beside the output path, so that a folder that cannot
    // be written is found before any work is done; false, with the reason in message, when that fails or
    // the output path holds something other than a TIN database.
    bool createOutput();
    // The file the writers write the new TIN into, as the file system spells it.
    std::string outputFileName() const;
    // Renames the complete new TIN over the output path, unless the run was cancelled or the output path
    // has come to hold something other than a TIN; false, with the reason in message, when it is not put
    // in place. What the user should know of a TIN put in place (attributes not kept, a folder not synced)
    // is added to message.
    bool putInPlace();
    // The message for a writer that failed without a cancel.
    void writeFailed();

private:
    // True, with the reason in message, when refusalAt gives one for the output path.
    bool notATin();

    // The new TIN until it is put in place or discarded.
    std::unique_ptr<Pelko::Road::AtomicFile> m_output;
};

// The 3DFACE entities of a DXF drawing, read into memory.
class DxfData : public TinGeneratorPrivate
{
public:
    DxfData(const QString& inputPath, const QString& outputPath);
    ~DxfData() override;

    // 0 until the drawing is read; then the writer's percent, which counts the drawing's lines first.
    int progress() const override;
    // Reads the drawing, then converts it; the drawing stays in memory until the job goes.
    bool generate() override;

    // What a converted drawing's border comes to, for the run's message: empty when there is nothing to
    // tell.
    static QString borderMessage(const Pelko::IO::DxfConversion& result);

private:
    InputFile m_input;
    std::unique_ptr<Pelko::IO::MemoryFile> m_file;
};

// A CASS point file, triangulated.
class DatData : public TinGeneratorPrivate
{
public:
    DatData(const QString& inputPath, const QString& outputPath);

    // Reading weighs 80, writing 20.
    int progress() const override;
    bool generate() override;

private:
    CassPointReader m_reader;
};

} // namespace Zemko::Trelvin
