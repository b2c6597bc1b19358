// Rotation vectors as XYZ Euler angles that run on frame by frame, as the import keys them on
// rx, ry and rz: a turn through pi or past a whole turn goes on instead of jumping back.
#pragma once

class ContinuousEuler {
  public:
    // The XYZ angles (radians; X applied first, then Y, then Z) of a rotation vector (axis
    // times angle, radians). The first call answers the plain decomposition, Y within
    // [-pi/2, pi/2]; each later one the equivalent angles nearest to those it answered last.
    void Next(const double rotationVector[3], double angles[3]);

  private:
    bool started_ = false;
    double previous_[3] = {0.0, 0.0, 0.0};
};
