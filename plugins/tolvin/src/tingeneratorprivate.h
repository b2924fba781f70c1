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
}

namespace Zemko::Trelvin {

// One generation from an input file into a TIN database. generate() runs on the generator's thread,
// progress() on the main thread meanwhile, so everything they share is atomic.
class TinGeneratorPrivate
{
public:
    TinGeneratorPrivate(const QString& inputPath, const QString& outputPath);
    // Removes the output of a run that was cancelled or failed.
    virtual ~TinGeneratorPrivate();

    // Percent of the work done, 0 to 100.
    virtual int progress() const = 0;
    // Sets message on the way.
    virtual bool generate() = 0;

    TinGeneratorPrivate(const TinGeneratorPrivate&) = delete;
    TinGeneratorPrivate& operator=(const TinGeneratorPrivate&) = delete;

    QString inputPath;
    QFile inputFile;
    QString outputPath;
    std::atomic<bool> cancelled { false };
    std::atomic<bool> succeeded { false };
    // A job that never ran wrote nothing, so it has nothing to remove.
    std::atomic<bool> started { false };
    // What the user should know besides success or failure: why a run failed (empty for a cancel), or
    // what a successful one left out. Written by generate(), read once its thread has ended.
    QString message;

protected:
    // Hands the writers the job's cancel flag; reports go nowhere unless overridden.
    class CancelFlag : public Pelko::IO::IProgress
    {
    public:
        explicit CancelFlag(const TinGeneratorPrivate& job);
        void report(int) override { }
        bool isCancelled() const override;

    private:
        const TinGeneratorPrivate& m_job;
    };

    // The output path as the file system spells it, as QFile would open it.
    std::string outputFileName() const;
    // Creates the output file, so that a folder that cannot be written is found before any work is done;
    // false, with the reason in message, when that fails.
    bool createOutput();
    // The message for a writer that failed without a cancel.
    void writeFailed();
};

// The 3DFACE entities of a DXF drawing, read into memory.
class DxfData : public TinGeneratorPrivate
{
public:
    DxfData(const QString& inputPath, const QString& outputPath);
    ~DxfData() override;

    // 0 until the drawing is read.
    int progress() const override;
    // Reads the drawing, then converts it; the drawing stays in memory until the job goes.
    bool generate() override;

private:
    InputFile m_input;
    std::unique_ptr<Pelko::IO::MemoryFile> m_file;
    // The memory file once there is one, for progress() on the other thread.
    std::atomic<const Pelko::IO::MemoryFile*> m_progressFile { nullptr };
};

// A CASS point file, triangulated.
class DatData : public TinGeneratorPrivate
{
public:
    // Hands the writer's percent to its job.
    class Progress final : public CancelFlag
    {
    public:
        explicit Progress(DatData& data);
        void report(int percent) override;

    private:
        DatData& m_data;
    };

    DatData(const QString& inputPath, const QString& outputPath);

    // Reading weighs 80, writing 20.
    int progress() const override;
    bool generate() override;

private:
    CassPointReader m_reader;
    std::atomic<int> m_writerPercent { 0 };
};

} // namespace Zemko::Trelvin
