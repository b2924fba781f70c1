#pragma once

#include "document/trelvin.h"
#include "support/roadfiles.h"

#include <QList>
#include <QTemporaryDir>

#include <memory>

// Road files with a profile for the vertical alignment tests.
namespace VerticalRoads {

struct Pi
{
    double station;
    double height;
    double radius;
};

inline QByteArray profile(const QList<Pi>& pis)
{
    QByteArray part = "    <VerticalAlignment>\n";
    for (const Pi& pi : pis)
        part += "        <element><mile>" + QByteArray::number(pi.station, 'g', 17) + "</mile><height>"
            + QByteArray::number(pi.height, 'g', 17) + "</height><radius>"
            + QByteArray::number(pi.radius, 'g', 17) + "</radius></element>\n";
    return part + "    </VerticalAlignment>\n";
}

// The worked example of a symmetric parabola: grades 2 % and -1 % about a PI of radius 3000, tangents 45.
inline QByteArray crest()
{
    return profile({ { 0, 100, 0 }, { 100, 102, 3000 }, { 200, 101, 0 } });
}

// A fresh folder per test function; the road opened from it is closed before the folder goes.
class Folder
{
public:
    void renew()
    {
        Zemko::Trelvin::Trelvin::instance()->closeRoad();
        dir = std::make_unique<QTemporaryDir>();
    }
    bool isValid() const { return dir && dir->isValid(); }

    // The path of the written road file; empty when it could not be written.
    QString write(const QByteArray& parts, const QString& name = QStringLiteral("road.rod")) const
    {
        const QString path = dir->filePath(name);
        return RoadFiles::write(path, RoadFiles::road(parts)) ? path : QString();
    }

private:
    std::unique_ptr<QTemporaryDir> dir;
};

} // namespace VerticalRoads
