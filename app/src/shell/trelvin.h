#pragma once

#include <plugin/datatype.h>

#include <QFileSystemWatcher>
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

    bool createRoad(const QString& path);
    bool openRoad(const QString& path);
    void closeRoad();
    // False without writing while any table model keeps edits it could not write into the road.
    bool save();

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
    QFileSystemWatcher m_watcher;
};

} // namespace Trelvin
} // namespace Zemko
