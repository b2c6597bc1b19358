// Local and world transforms (row vectors, rotate order XYZ) and the two constraints.

#include <algorithm>
#include <cmath>

#include "scene/model.h"

namespace scene {
namespace {

using Vec3 = std::array<double, 3>;
using Quat = std::array<double, 4>;  // x, y, z, w

bool isTransformLike(const Node* n) {
    Kind k = n->kind();
    return k == Kind::Transform || k == Kind::PointConstraint || k == Kind::OrientConstraint;
}

Matrix rotationXYZ(const Vec3& r) {
    double cx = std::cos(r[0]), sx = std::sin(r[0]);
    double cy = std::cos(r[1]), sy = std::sin(r[1]);
    double cz = std::cos(r[2]), sz = std::sin(r[2]);
    Matrix m = identity();
    m[0] = {cy * cz, cy * sz, -sy, 0};
    m[1] = {sx * sy * cz - cx * sz, sx * sy * sz + cx * cz, sx * cy, 0};
    m[2] = {cx * sy * cz + sx * sz, cx * sy * sz - sx * cz, cx * cy, 0};
    return m;
}

// The rotation part of a matrix with scale removed from each row.
Matrix rotationOnly(const Matrix& m) {
    Vec3 t, r, s;
    decomposeTRS(m, &t, &r, &s);
    return rotationXYZ(r);
}

Quat toQuat(const Matrix& m) {
    // m is a row-vector rotation, the transpose of the column-vector form.
    double trace = m[0][0] + m[1][1] + m[2][2];
    Quat q;
    if (trace > 0) {
        double s = std::sqrt(trace + 1.0) * 2;
        q = {(m[1][2] - m[2][1]) / s, (m[2][0] - m[0][2]) / s, (m[0][1] - m[1][0]) / s, s / 4};
    } else if (m[0][0] > m[1][1] && m[0][0] > m[2][2]) {
        double s = std::sqrt(1.0 + m[0][0] - m[1][1] - m[2][2]) * 2;
        q = {s / 4, (m[1][0] + m[0][1]) / s, (m[2][0] + m[0][2]) / s, (m[1][2] - m[2][1]) / s};
    } else if (m[1][1] > m[2][2]) {
        double s = std::sqrt(1.0 + m[1][1] - m[0][0] - m[2][2]) * 2;
        q = {(m[1][0] + m[0][1]) / s, s / 4, (m[2][1] + m[1][2]) / s, (m[2][0] - m[0][2]) / s};
    } else {
        double s = std::sqrt(1.0 + m[2][2] - m[0][0] - m[1][1]) * 2;
        q = {(m[2][0] + m[0][2]) / s, (m[2][1] + m[1][2]) / s, s / 4, (m[0][1] - m[1][0]) / s};
    }
    return q;
}

Matrix fromQuat(const Quat& q) {
    double x = q[0], y = q[1], z = q[2], w = q[3];
    Matrix m = identity();
    m[0] = {1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w), 0};
    m[1] = {2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w), 0};
    m[2] = {2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y), 0};
    return m;
}

// The mean orientation of several: quaternions brought to one hemisphere and averaged.
Matrix meanRotation(const std::vector<Matrix>& rotations) {
    Quat sum{0, 0, 0, 0};
    Quat first = toQuat(rotations.front());
    for (const Matrix& r : rotations) {
        Quat q = toQuat(r);
        double dot = q[0] * first[0] + q[1] * first[1] + q[2] * first[2] + q[3] * first[3];
        double sign = dot < 0 ? -1.0 : 1.0;
        for (int i = 0; i < 4; ++i) {
            sum[i] += sign * q[i];
        }
    }
    double len = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2] + sum[3] * sum[3]);
    for (double& v : sum) {
        v /= len;
    }
    return fromQuat(sum);
}

}  // namespace

Matrix identity() {
    Matrix m{};
    for (int i = 0; i < 4; ++i) {
        m[i][i] = 1.0;
    }
    return m;
}

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            for (int k = 0; k < 4; ++k) {
                m[i][j] += a[i][k] * b[k][j];
            }
        }
    }
    return m;
}

Matrix inverse(const Matrix& in) {
    // Gauss-Jordan with partial pivoting; a singular matrix gives the identity.
    Matrix a = in, inv = identity();
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r) {
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) {
                pivot = r;
            }
        }
        if (std::fabs(a[pivot][col]) < 1e-300) {
            return identity();
        }
        std::swap(a[col], a[pivot]);
        std::swap(inv[col], inv[pivot]);
        double d = a[col][col];
        for (int j = 0; j < 4; ++j) {
            a[col][j] /= d;
            inv[col][j] /= d;
        }
        for (int r = 0; r < 4; ++r) {
            if (r != col) {
                double f = a[r][col];
                for (int j = 0; j < 4; ++j) {
                    a[r][j] -= f * a[col][j];
                    inv[r][j] -= f * inv[col][j];
                }
            }
        }
    }
    return inv;
}

Matrix composeTRS(const Vec3& t, const Vec3& r, const Vec3& s) {
    Matrix m = rotationXYZ(r);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            m[i][j] *= s[i];
        }
    }
    m[3] = {t[0], t[1], t[2], 1.0};
    return m;
}

void decomposeTRS(const Matrix& m, Vec3* t, Vec3* r, Vec3* s) {
    *t = {m[3][0], m[3][1], m[3][2]};
    Matrix rot = identity();
    for (int i = 0; i < 3; ++i) {
        double len = std::sqrt(m[i][0] * m[i][0] + m[i][1] * m[i][1] + m[i][2] * m[i][2]);
        (*s)[i] = len;
        for (int j = 0; j < 3; ++j) {
            rot[i][j] = len > 0 ? m[i][j] / len : (i == j ? 1.0 : 0.0);
        }
    }
    double det = rot[0][0] * (rot[1][1] * rot[2][2] - rot[1][2] * rot[2][1]) -
                 rot[0][1] * (rot[1][0] * rot[2][2] - rot[1][2] * rot[2][0]) +
                 rot[0][2] * (rot[1][0] * rot[2][1] - rot[1][1] * rot[2][0]);
    if (det < 0) {  // a mirror: carried by the X scale
        (*s)[0] = -(*s)[0];
        for (int j = 0; j < 3; ++j) {
            rot[0][j] = -rot[0][j];
        }
    }
    double sy = std::max(-1.0, std::min(1.0, -rot[0][2]));
    (*r)[1] = std::asin(sy);
    if (std::sqrt(rot[0][0] * rot[0][0] + rot[0][1] * rot[0][1]) > 1e-9) {
        (*r)[0] = std::atan2(rot[1][2], rot[2][2]);
        (*r)[2] = std::atan2(rot[0][1], rot[0][0]);
    } else {  // gimbal lock: Z is taken as 0 and X carries the rest
        (*r)[2] = 0.0;
        (*r)[0] = std::atan2(-rot[2][1], rot[1][1]);
    }
}

Matrix Scene::localMatrix(const Node* node, double time) const {
    return localMatrixDepth(node, time, 0);
}

Matrix Scene::worldMatrix(const Node* node, double time) const {
    return worldMatrixDepth(node, time, 0);
}

Matrix Scene::localMatrixDepth(const Node* node, double time, int depth) const {
    if (!isTransformLike(node)) {
        return identity();
    }
    const BuiltinAttrs& a = builtinAttrs();
    auto value = [&](AttrId attr) { return evaluateDepth({node->id, attr}, time, depth); };
    return composeTRS({value(a.translateX), value(a.translateY), value(a.translateZ)},
                      {value(a.rotateX), value(a.rotateY), value(a.rotateZ)},
                      {value(a.scaleX), value(a.scaleY), value(a.scaleZ)});
}

Matrix Scene::worldMatrixDepth(const Node* node, double time, int depth) const {
    Matrix m = identity();
    for (const Node* n = node; n != nullptr && n != world_; n = n->parent) {
        m = multiply(m, localMatrixDepth(n, time, depth));
    }
    return m;
}

void Scene::setLocalMatrix(Node* node, const Matrix& m) {
    Vec3 t, r, s;
    decomposeTRS(m, &t, &r, &s);
    const BuiltinAttrs& a = builtinAttrs();
    const AttrId attrs[9] = {a.translateX, a.translateY, a.translateZ, a.rotateX, a.rotateY,
                             a.rotateZ,    a.scaleX,     a.scaleY,     a.scaleZ};
    const double values[9] = {t[0], t[1], t[2], r[0], r[1], r[2], s[0], s[1], s[2]};
    for (int i = 0; i < 9; ++i) {
        setStoredValue(node, attrs[i], values[i]);
    }
}

// --- constraints -------------------------------------------------------------------------

Node* Scene::createConstraint(Kind kind, const std::vector<Node*>& targets, Node* constrained,
                              const std::string& name, std::string* error) {
    if (constrained == nullptr || !isTransformLike(constrained) || targets.empty()) {
        *error = "A constraint needs at least one target and a transform to constrain";
        return nullptr;
    }
    for (const Node* t : targets) {
        if (!isTransformLike(t) || t == constrained) {
            *error = "Invalid constraint target: " + t->name;
            return nullptr;
        }
    }
    const BuiltinAttrs& a = builtinAttrs();
    bool point = kind == Kind::PointConstraint;
    AttrId out = point ? a.constraintTranslate : a.constraintRotate;
    AttrId driven = point ? a.translate : a.rotate;
    for (AttrId child : attribute(driven)->children) {
        if (incoming({constrained->id, child}) != nullptr) {
            *error = plugName({constrained->id, child}) + " already has an incoming connection";
            return nullptr;
        }
    }
    std::string requested =
        name.empty() ? constrained->name + (point ? "_pointConstraint1" : "_orientConstraint1")
                     : name;
    Node* node = createNode(builtinType(kind), requested, constrained);
    for (const Node* t : targets) {
        node->targets.push_back(t->id);
    }
    node->constrained = constrained->id;
    connect({node->id, out}, {constrained->id, driven});
    return node;
}

double Scene::constraintOutput(const Node* constraint, AttrId attr, double time, int depth) const {
    const Node* constrained = find(constraint->constrained);
    std::vector<const Node*> targets;
    for (NodeId id : constraint->targets) {
        if (const Node* t = find(id)) {
            targets.push_back(t);
        }
    }
    if (constrained == nullptr || targets.empty()) {
        return storedValue(constraint, attr);
    }
    const BuiltinAttrs& a = builtinAttrs();
    Matrix parentWorld = worldMatrixDepth(constrained->parent, time, depth);
    if (constraint->kind() == Kind::PointConstraint) {
        Matrix mean{};
        for (const Node* t : targets) {
            Matrix w = worldMatrixDepth(t, time, depth);
            for (int j = 0; j < 3; ++j) {
                mean[3][j] += w[3][j] / static_cast<double>(targets.size());
            }
        }
        mean[3][3] = 1.0;
        Matrix local = multiply(mean, inverse(parentWorld));
        int axis = attr == a.constraintTranslateX ? 0 : attr == a.constraintTranslateY ? 1 : 2;
        return local[3][axis];
    }
    std::vector<Matrix> rotations;
    for (const Node* t : targets) {
        rotations.push_back(rotationOnly(worldMatrixDepth(t, time, depth)));
    }
    Matrix local = multiply(meanRotation(rotations), inverse(rotationOnly(parentWorld)));
    Vec3 t, r, s;
    decomposeTRS(local, &t, &r, &s);
    int axis = attr == a.constraintRotateX ? 0 : attr == a.constraintRotateY ? 1 : 2;
    return r[axis];
}

void Scene::deleteConstraintsOn(Node* node) {
    std::vector<Node*> constraints;
    for (const auto& entry : nodes_) {
        Node* n = entry.second.get();
        if ((n->kind() == Kind::PointConstraint || n->kind() == Kind::OrientConstraint) &&
            n->constrained == node->id) {
            constraints.push_back(n);
        }
    }
    for (Node* c : constraints) {
        // The driven attributes keep the values the constraint gave them.
        std::vector<std::pair<PlugRef, double>> baked;
        for (const Connection& conn : connections_) {
            if (conn.source.node == c->id && conn.destination.node == node->id) {
                baked.emplace_back(conn.destination, evaluate(conn.destination));
            }
        }
        deleteNode(c);
        for (const auto& b : baked) {
            setStoredValue(node, b.first.attr, b.second);
        }
    }
}

}  // namespace scene
