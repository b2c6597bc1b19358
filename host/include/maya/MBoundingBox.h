#pragma once
// An axis-aligned box; a default box is empty and the first point expanded into it defines it.

#include <maya/MPoint.h>
#include <maya/MTypes.h>

class MBoundingBox {
  public:
    MBoundingBox() = default;
    MBoundingBox(const MBoundingBox& other) = default;
    // The smallest box holding both corners, in whatever order they are given.
    MBoundingBox(const MPoint& corner1, const MPoint& corner2);
    ~MBoundingBox() = default;

    MBoundingBox& operator=(const MBoundingBox& other) = default;

    void clear();
    void expand(const MPoint& point);
    void expand(const MBoundingBox& box);
    bool contains(const MPoint& point) const;

    double width() const;
    double height() const;
    double depth() const;
    MPoint center() const;
    MPoint min() const;
    MPoint max() const;

  private:
    bool empty_ = true;
    MPoint min_;
    MPoint max_;
};
