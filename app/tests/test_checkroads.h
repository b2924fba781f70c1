#pragma once

#include "support/roadfiles.h"
#include "test_horizontalroads.h"
#include "test_slopelibroads.h"
#include "test_standardsectionroads.h"
#include "test_verticalroads.h"

#include <road/horizontalalignment.h>
#include <road/horizontalelement.h>
#include <road/horizontalelementconfiguration.h>
#include <road/roadsurface.h>

#include "document/trelvin.h"

#include <QByteArray>
#include <QFile>
#include <QLineEdit>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

// Roads for the check tools' tests, written by hand and, for the element alignment, by the road
// library.
namespace CheckRoads {

// Writes the parts, then sets the element alignment through the road library.
inline bool write(const QString& path, const QByteArray& parts,
                  const Pelko::Road::HorizontalElementConfiguration& elements)
{
    if (!RoadFiles::write(path, RoadFiles::road(parts)))
        return false;
    Pelko::Road::RoadSurface road(path.toLocal8Bit().toStdString());
    if (!road.load())
        return false;
    road.getHorizontalAligment()->setElements(elements);
    return road.save();
}

// One straight of the given length from (1000, 2000) due north.
inline Pelko::Road::HorizontalElementConfiguration straight(double length)
{
    Pelko::Road::HorizontalElementConfiguration elements;
    elements.append(Pelko::Road::HorizontalElement::createLine(Pelko::Corvex::Angle(0.0), length,
                                                               Pelko::Corvex::Point(1000.0, 2000.0), 0.0));
    return elements;
}

// A profile rising at 2 % to a crest at 125 and falling at 1.2 % to 250.
inline QByteArray profile()
{
    return VerticalRoads::profile({ { 0, 100, 0 }, { 125, 102.5, 3000 }, { 250, 101, 0 } });
}

// Line 100, left arc R 300 of 100, line 50 (from (1000, 2000) north); the profile; a lane on the
// left, a lane and a shoulder on the right; no slopes.
inline bool writeLineArc(const QString& path)
{
    return write(path, profile() + RoadFiles::standardSection(), HorizontalRoads::lineArcLine());
}

inline QByteArray equation(double before, double after)
{
    return "        <equation><before>" + QByteArray::number(before, 'g', 17) + "</before><after>"
        + QByteArray::number(after, 'g', 17) + "</after></equation>\n";
}

// A straight of 300 whose stations 110 to 130 come twice (a long equation at 130 = 110), and whose
// stations 200 to 220 after it do not exist (a short equation at 200 = 220).
inline bool writeEquations(const QString& path)
{
    const QByteArray equations
        = "    <StationsEquation>\n" + equation(130, 110) + equation(200, 220) + "    </StationsEquation>\n";
    return write(path, equations + profile() + RoadFiles::standardSection(), straight(300.0));
}

// A straight of 250 with the profile. Left: a lane whose slope turns from -2 % at 100 to 4 % at 200,
// cut slopes with a ditch ("Cut A"). Right: a lane and a shoulder stepped up 0.1, fill slopes with a
// berm ("Fill B"): one slope segment for two elements.
inline bool writeSlopeRoad(const QString& path, bool leftLane)
{
    using SectionRoads::element;
    const QByteArray lane = element("lane", 3.5, -2.0, 0.0, { { 0, 100.0, -2.0 }, { 0, 200.0, 4.0 } });
    const QByteArray section = SectionRoads::section(
        leftLane ? lane : QByteArray(), element("lane", 3.5, -2.0) + element("shoulder", 1.5, -4.0, 0.1));
    const QByteArray slopes = "    <SlopeSection>\n        <left>\n"
        + SlopeLibRoads::segment("hill", 0, 250, "Cut A", "Cut A") + "        </left>\n        <right>\n"
        + SlopeLibRoads::segment("bank", 0, 250, "Fill B", "Fill B")
        + "        </right>\n    </SlopeSection>\n";
    return write(path, profile() + section + SlopeLibRoads::library() + slopes, straight(250.0));
}

inline bool writeSlopes(const QString& path)
{
    return writeSlopeRoad(path, true);
}

// The same without the left lane: the left slopes start on the centre line.
inline bool writeSlopesWithoutLeftLane(const QString& path)
{
    return writeSlopeRoad(path, false);
}

// The example road (its last station K5+224.474).
inline bool writeExample(const QString& path)
{
    return QFile::copy(QStringLiteral(TRELVIN_EXAMPLES_DIR "/ridge-road.rod"), path);
}

// A fresh folder per test function; the road opened from it is closed before the folder goes.
class Folder
{
public:
    bool renew()
    {
        Zemko::Trelvin::Trelvin::instance()->closeRoad();
        dir = std::make_unique<QTemporaryDir>();
        return dir->isValid();
    }

    // Writes the road and opens it through the document; null when either fails.
    Pelko::Road::RoadSurface* open(bool (*write)(const QString&)) const
    {
        const QString path = dir->filePath(QStringLiteral("road.rod"));
        if (!write(path) || !Zemko::Trelvin::Trelvin::instance()->openRoad(path))
            return nullptr;
        return Zemko::Trelvin::Trelvin::instance()->road();
    }

private:
    std::unique_ptr<QTemporaryDir> dir;
};

template<typename T> T* child(QWidget* parent, const char* name)
{
    return parent->findChild<T*>(QString::fromLatin1(name));
}

// Types into a field as the user does (textEdited fires for each key); empty text clears it.
inline void type(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        QTest::keyClicks(edit, text);
}

} // namespace CheckRoads
