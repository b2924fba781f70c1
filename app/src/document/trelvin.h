#pragma once

#include <plugin/datatype.h>

#include <road/atomicfile.h>

#include <QFileSystemWatcher>
#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <memory>

namespace Pelko {
namespace Road {
class RoadSurface;
}
} // namespace Pelko

namespace Zemko {
namespace Trelvin {

// The program's document: owns the one open road, keeps the recent roads in the settings and the
// categories whose tables hold edits not yet written into the road, and announces every change.
class Trelvin : public QObject
{
    Q_OBJECT

public:
    // The program works through instance(); a separate document is for tests that need a fresh start.
    Trelvin();
    ~Trelvin() override;

    static Trelvin* instance();

    Pelko::Road::RoadSurface* road() const { return m_road.get(); }
    // The absolute path of the open road; empty while none is open.
    QString path() const { return m_path; }
    QStringList recentRoads() const { return m_recent; }
    // The categories whose edits are not in the file: held by a page, or put into the road by a save
    // whose write of the file failed.
    DataType::Categories editFlags() const { return m_editFlags | m_unfiled; }
    bool isSlopeLibraryAvailable() const;

    // The open road stays open when the new file cannot be written; fileError() says why.
    bool createRoad(const QString& path);
    bool openRoad(const QString& path);
    void closeRoad();
    // A page's edits that cannot be written, and why.
    struct WriteRefusal
    {
        DataType::Categories category;
        QString reason;
    };

    // False without writing anything while a page refuses to write its edits (writeRefusals() says
    // which and why), while both tables of the horizontal alignment hold edits (only one of them can
    // be written), or when a handler of saveRequested refused (saveRefusal() says why). False too when
    // a write or the file fails (fileError() says why); savedCategories() then names the edits that
    // reached the file, all of them when only the folder could not be synced. True when the save
    // counts as done (Pelko::Road::isSaved), though fileErrorText() may still have news for the user.
    bool save();
    // For handlers of checkBeforeSave: the edits of the category cannot be written, so the save
    // writes nothing.
    void refuseWrite(DataType::Categories category, const QString& reason);
    QList<WriteRefusal> writeRefusals() const { return m_writeRefusals; }
    // The categories whose edits the last save put into the file.
    DataType::Categories savedCategories() const { return m_savedCategories; }
    // For handlers of saveRequested: the save stops before anything is written. An empty reason means
    // the user declined and has nothing more to be told.
    void refuseSave(const QString& reason = QString());
    // Whether the last save was refused, and why.
    bool saveRefused() const { return m_saveRefused; }
    QString saveRefusal() const { return m_saveRefusal; }

    // Writes the open road to its file; every page's write goes through here. True when the file holds
    // the road (Pelko::Road::isWritten), also when its folder could not be synced: fileError() tells
    // that, and why a write failed.
    bool writeRoad();
    // How the last write of a road file by the document ended.
    Pelko::Road::SaveError fileError() const { return m_fileError; }
    // Why the last write failed, with the system's reason, naming the file; or what the user must
    // know about a write that went through: that its folder could not be synced (a folder that can
    // never be synced only the first time) or its attributes not kept. Empty when there is nothing to
    // say.
    QString fileErrorText() const;
    // "Save road failed!", followed by why the file could not be written when that was the cause.
    QString saveFailedText() const;
    // What to tell the user after a page's Apply or another write, given whether it reported the road
    // written: nothing when the file holds it safely or no road is open, fileErrorText() when the
    // write counts as a save, else saveFailedText().
    QString writeFailureText(bool written) const;

    void notifyDataChanged(DataType::Categories categories);
    void notifyLibUpdate();
    // Emits editFlagsChanged with all flags, also when nothing changed.
    void setEditFlags(DataType::Categories categories, bool on);

    static QString recentPath();
    static void setRecentPath(const QString& filePath);

signals:
    void onRoadOpen();
    void onRoadAboutToClose();
    void dataChanged(DataType::Categories categories);
    void editFlagsChanged(DataType::Categories categories);
    void recentChanged();
    void aboutToSaveRoad();
    void libUpdate();
    // The first step of a save: every page holding edits not yet written checks, and readies, their
    // write, and calls refuseWrite() when it cannot write them.
    void checkBeforeSave();
    // Once every page can write: a handler may ask the user and call refuseSave().
    void saveRequested();

private slots:
    void onWatchedFileChanged(const QString& path);

private:
    void addRecent(const QString& path);
    void saveRecent() const;
    void watch(const QString& path);
    bool recordWrite(bool written, Pelko::Road::SaveError error, int systemError, const QString& path);
    void addUnfiled(DataType::Categories categories);

    std::unique_ptr<Pelko::Road::RoadSurface> m_road;
    QString m_path;
    QStringList m_recent;
    // Set and cleared by the pages.
    DataType::Categories m_editFlags;
    // Put into the road by a save whose write failed; a write that goes through clears them.
    DataType::Categories m_unfiled;
    bool m_saveRefused = false;
    QString m_saveRefusal;
    QList<WriteRefusal> m_writeRefusals;
    DataType::Categories m_savedCategories;
    Pelko::Road::SaveError m_fileError = Pelko::Road::SaveError::None;
    int m_fileSystemError = 0;
    QString m_fileErrorPath;
    // Folders the user was told cannot be synced, and whether the last write told it first.
    QSet<QString> m_unsyncableFolders;
    bool m_fileErrorIsNews = true;
    QFileSystemWatcher m_watcher;
};

} // namespace Trelvin
} // namespace Zemko
