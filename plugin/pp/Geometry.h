#pragma once

#include "plugin/pp/PepperC.h"

namespace pp {

class Point
{
public:
    Point() = default;
    Point(int32_t x, int32_t y)
        : m_point{x, y}
    {
    }
    int32_t x() const { return m_point.x; }
    int32_t y() const { return m_point.y; }
    const PP_Point& pp_point() const { return m_point; }

private:
    PP_Point m_point{0, 0};
};

class Size
{
public:
    Size() = default;
    Size(int32_t width, int32_t height)
        : m_size{width < 0 ? 0 : width, height < 0 ? 0 : height}
    {
    }
    explicit Size(const PP_Size& size)
        : Size(size.width, size.height)
    {
    }
    int32_t width() const { return m_size.width; }
    int32_t height() const { return m_size.height; }
    bool IsEmpty() const { return m_size.width == 0 || m_size.height == 0; }
    const PP_Size& pp_size() const { return m_size; }
    bool operator==(const Size& other) const
    {
        return m_size.width == other.m_size.width && m_size.height == other.m_size.height;
    }
    bool operator!=(const Size& other) const { return !(*this == other); }

private:
    PP_Size m_size{0, 0};
};

class Rect
{
public:
    Rect() = default;
    explicit Rect(const PP_Rect& rect)
        : m_rect(rect)
    {
    }
    Point point() const { return Point(m_rect.point.x, m_rect.point.y); }
    Size size() const { return Size(m_rect.size); }
    int32_t width() const { return m_rect.size.width; }
    int32_t height() const { return m_rect.size.height; }
    const PP_Rect& pp_rect() const { return m_rect; }

private:
    PP_Rect m_rect{{0, 0}, {0, 0}};
};

} // namespace pp
