#include <corvex/envelope.h>

namespace Pelko::Corvex {

void Envelope::expandToInclude(double x, double y)
{
    if (x < getMinX())
        setMinX(x);
    if (y < getMinY())
        setMinY(y);
    if (x > getMaxX())
        setMaxX(x);
    if (y > getMaxY())
        setMaxY(y);
}

void Envelope::expandToInclude(Envelope const& e)
{
    // The empty envelope's corners are +-DBL_MAX; taken as points they would blow the box up to
    // the whole double range.
    if (Equal(e, Envelope()))
        return;
    expandToInclude(e.getMin());
    expandToInclude(e.getMax());
}

void Envelope::expandBy(double dx, double dy)
{
    m_min.rX() -= dx;
    m_min.rY() -= dy;
    m_max.rX() += dx;
    m_max.rY() += dy;
}

void Envelope::scale(double f, Point const* centre)
{
    const Point c = centre ? *centre : getCenter();
    const double hw = getWidth() * f * 0.5;
    const double hh = getHeight() * f * 0.5;
    m_min = Point(c.getX() - hw, c.getY() - hh);
    m_max = Point(c.getX() + hw, c.getY() + hh);
}

void Envelope::expand(double f, Point const* centre)
{
    const Point c = centre ? *centre : getCenter();
    const double hw = getWidth() * f;
    const double hh = getHeight() * f;
    m_min = Point(c.getX() - hw, c.getY() - hh);
    m_max = Point(c.getX() + hw, c.getY() + hh);
}

bool Envelope::contain(Envelope const& e) const
{
    return e.getMinX() >= getMinX() && e.getMinY() >= getMinY() && getMaxX() >= e.getMaxX()
        && getMaxY() >= e.getMaxY();
}

bool Envelope::contain(double x, double y) const
{
    return getMinX() <= x && x <= getMaxX() && getMinY() <= y && y <= getMaxY();
}

bool Envelope::Intersection(Envelope const& a, Envelope const& b)
{
    return !(b.getMinX() > a.getMaxX() || a.getMinY() > b.getMaxY() || a.getMinX() > b.getMaxX()
             || b.getMinY() > a.getMaxY());
}

bool Envelope::Equal(Envelope const& a, Envelope const& b)
{
    return a.getMinX() == b.getMinX() && a.getMinY() == b.getMinY() && a.getMaxX() == b.getMaxX()
        && a.getMaxY() == b.getMaxY();
}

void Envelope::normalize()
{
    if (getMinX() > getMaxX())
        std::swap(m_min.rX(), m_max.rX());
    if (getMinY() > getMaxY())
        std::swap(m_min.rY(), m_max.rY());
}

int Envelope::outcode(Point const& p) const
{
    int code = 0;
    if (getMaxX() - getMinX() > 0.0) {
        if (p.getX() < getMinX())
            code |= 1;
        else if (p.getX() > getMaxX())
            code |= 4;
    } else {
        code |= 1 | 4;
    }
    if (getMaxY() - getMinY() > 0.0) {
        if (p.getY() < getMinY())
            code |= 8;
        else if (p.getY() > getMaxY())
            code |= 2;
    } else {
        code |= 2 | 8;
    }
    return code;
}

} // namespace Pelko::Corvex
