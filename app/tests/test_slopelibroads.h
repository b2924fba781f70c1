#pragma once

#include "document/trelvin.h"
#include "support/roadfiles.h"

#include <road/roadsurface.h>
#include <road/slopesectionconfiguration.h>
#include <road/slopesectionsegment.h>
#include <road/slopesectiontemplatelibrary.h>

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// Road files with a slope template library and slope segments for the library page's tests.
namespace SlopeLibRoads {

inline QByteArray value(const QByteArray& tag, double v)
{
    return "<" + tag + ">" + QByteArray::number(v, 'g', 17) + "</" + tag + ">";
}

inline QByteArray surface(const QByteArray& name, double height, double ratio)
{
    return "<element><type>0</type><name>" + name + "</name>" + value("height", height)
        + value("ratio", ratio) + "</element>";
}

inline QByteArray platform(const QByteArray& name, double width, double slope)
{
    return "<element><type>1</type><name>" + name + "</name>" + value("width", width) + value("slope", slope)
        + "</element>";
}

inline QByteArray rectDitch(const QByteArray& name, double innerHeight, double bottomWidth,
                            double outerHeight)
{
    return "<element><type>2</type><name>" + name + "</name>" + value("inner_height", innerHeight)
        + value("bottom_width", bottomWidth) + value("outer_height", outerHeight) + "</element>";
}

inline QByteArray slopeTemplate(int type, const QByteArray& name, const QByteArray& elements)
{
    return "        <template><type>" + QByteArray::number(type) + "</type><name>" + name + "</name>"
        + elements + "</template>\n";
}

inline QByteArray segment(const QByteArray& name, double begin, double end, const QByteArray& beginTemplate,
                          const QByteArray& endTemplate)
{
    return "            <template><name>" + name + "</name>" + value("begin_station", begin)
        + value("end_station", end) + "<begin_reference>" + beginTemplate
        + "</begin_reference><end_reference>" + endTemplate + "</end_reference></template>\n";
}

// Fill templates "Fill A" (one surface) and "Fill B" (surface, platform, surface); cut template "Cut A"
// (a ditch, then a surface).
inline QByteArray library()
{
    return "    <SlopeSectionLibrary>\n" + slopeTemplate(0, "Fill A", surface("bank", 2, 1.5))
        + slopeTemplate(0, "Fill B",
                        surface("upper", 4, 1.5) + platform("berm", 2, 4) + surface("lower", 6, 1.75))
        + slopeTemplate(1, "Cut A", rectDitch("ditch", 0.6, 0.4, 0.8) + surface("face", 3, 1))
        + "    </SlopeSectionLibrary>\n";
}

// Left: "west" from Fill A to Fill B, "hill" in Cut A; right: "east" in Fill A at both ends.
inline QByteArray segments()
{
    return "    <SlopeSection>\n        <left>\n" + segment("west", 0, 100, "Fill A", "Fill B")
        + segment("hill", 100, 200, "Cut A", "Cut A") + "        </left>\n        <right>\n"
        + segment("east", 0, 100, "Fill A", "Fill A") + "        </right>\n    </SlopeSection>\n";
}

// The begin and end template names of every segment of a side, as "name:begin>end".
inline QStringList segmentNames(const Pelko::Road::RoadSurface* road, Pelko::Road::SlopeSectionSide side)
{
    QStringList names;
    const Pelko::Road::SlopeSectionTemplateConfiguration list
        = road->getSlopeSectionConfiguration()->get(side);
    for (unsigned i = 0; i < list.size(); ++i) {
        const Pelko::Road::SlopeSectionSegment s = list.getSegmentAt(i);
        names << QString::fromStdString(s.getName() + ":" + s.getBeginTemplate().getName() + ">"
                                        + s.getEndTemplate().getName());
    }
    return names;
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
    QString path() const { return dir->path(); }

    // Writes the road (in a subfolder when one is named) and opens it through the document.
    bool open(const QByteArray& parts, const QString& subfolder = QString())
    {
        QDir folder(dir->path());
        if (!subfolder.isEmpty() && (!folder.mkpath(subfolder) || !folder.cd(subfolder)))
            return false;
        roadPath = folder.filePath(QStringLiteral("road.rod"));
        return RoadFiles::write(roadPath, RoadFiles::road(parts))
            && Zemko::Trelvin::Trelvin::instance()->openRoad(roadPath);
    }
    // Closes the road and opens the file again.
    bool reopen() const
    {
        Zemko::Trelvin::Trelvin::instance()->closeRoad();
        return Zemko::Trelvin::Trelvin::instance()->openRoad(roadPath);
    }

    QString roadPath;

private:
    std::unique_ptr<QTemporaryDir> dir;
};

} // namespace SlopeLibRoads
