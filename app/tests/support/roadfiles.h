#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

// Small road files written by hand for the program's tests.
namespace RoadFiles {

// A version 4 road holding the given parts.
inline QByteArray road(const QByteArray& parts)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Road>\n    <Version>4</Version>\n"
           "    <FullVersion>67239936</FullVersion>\n"
        + parts + "</Road>\n";
}

inline QByteArray equations(double before, double after)
{
    return "    <StationsEquation>\n        <equation>\n            <before>" + QByteArray::number(before)
        + "</before>\n            <after>" + QByteArray::number(after)
        + "</after>\n        </equation>\n    </StationsEquation>\n";
}

inline QByteArray sectionElement(const QByteArray& name, double width)
{
    return "            <element>\n                <template>\n                    <name>" + name
        + "</name>\n                    <width>" + QByteArray::number(width)
        + "</width>\n                    <slope>-2</slope>\n"
          "                    <delta_elevation>0</delta_elevation>\n                </template>\n"
          "            </element>\n";
}

// One strip on the left, two on the right.
inline QByteArray standardSection()
{
    return "    <StandardSection>\n        <left>\n" + sectionElement("lane", 3.5) + "        </left>\n"
        + "        <right>\n" + sectionElement("lane", 3.5) + sectionElement("shoulder", 1.5)
        + "        </right>\n    </StandardSection>\n";
}

inline bool write(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

inline QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace RoadFiles
