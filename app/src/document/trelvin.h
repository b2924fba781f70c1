#pragma once

#include <plugin/datatype.h>

#include <QFileSystemWatcher>
#include <QList>
#include <QObject>
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
    DataType::Categories editFlags() const { return m_editFlags; }
    bool isSlopeLibraryAvailable() const;

    // The open road stays open when the new file cannot be written.
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
    // a write or the file fails; savedCategories() then names the edits that reached the file.
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

    std::unique_ptr<Pelko::Road::RoadSurface> m_road;
    QString m_path;
    QStringList m_recent;
    DataType::Categories m_editFlags;
    bool m_saveRefused = false;
    QString m_saveRefusal;
    QList<WriteRefusal> m_writeRefusals;
    DataType::Categories m_savedCategories;
    QFileSystemWatcher m_watcher;
};

} // namespace Trelvin
} // namespace Zemko
