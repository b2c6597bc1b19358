// The deterministic text form of the whole scene, and the scene reset.

#include <sstream>

#include <maya/MDistance.h>
#include <maya/MTime.h>

#include <host/scene.h>

#include "scene/api_util.h"
#include "scene/model.h"
#include "types/time_units.h"

namespace {

const char* timeUnitName(MTime::Unit u) {
    const types::TimeUnitInfo* info = types::timeUnitInfo(u);
    return info ? info->melName : "invalid";
}

const char* distanceUnitName(MDistance::Unit u) {
    switch (u) {
        case MDistance::kInches:
            return "in";
        case MDistance::kFeet:
            return "ft";
        case MDistance::kYards:
            return "yd";
        case MDistance::kMiles:
            return "mi";
        case MDistance::kMillimeters:
            return "mm";
        case MDistance::kCentimeters:
            return "cm";
        case MDistance::kKilometers:
            return "km";
        case MDistance::kMeters:
            return "m";
        default:
            return "invalid";
    }
}

const char* tangentName(int t) {
    static const char* names[] = {"global", "fixed", "linear", "flat", "smooth", "step"};
    return t >= 0 && t <= 5 ? names[t] : "unknown";
}

class Dumper {
  public:
    Dumper(const scene::Scene& s, int significantDigits) : s_(s), digits_(significantDigits) {}

    std::string run() {
        const scene::Ranges& r = s_.ranges();
        out_ << "units time=" << timeUnitName(MTime::uiUnit())
             << " linear=" << distanceUnitName(MDistance::uiUnit())
             << " internalLinear=" << distanceUnitName(MDistance::internalUnit())
             << " angle=deg internalAngle=rad\n";
        out_ << "ranges playback=" << uiTime(r.minTime) << ".." << uiTime(r.maxTime)
             << " animation=" << uiTime(r.animationStart) << ".." << uiTime(r.animationEnd)
             << " current=" << uiTime(r.currentTime) << "\n";
        types();
        for (const scene::Node* child : s_.world()->children) {
            dag(child);
        }
        for (const scene::Node* n : s_.nodes()) {
            if (!n->isDag()) {
                node(n);
            }
        }
        connections();
        out_ << "selection";
        for (scene::NodeId id : s_.selection()) {
            out_ << " " << s_.fullPath(s_.find(id));
        }
        out_ << "\n";
        return out_.str();
    }

  private:
    std::string num(double v) const { return scene::formatNumber(v, digits_); }
    std::string uiTime(double seconds) const { return num(scene::fromSeconds(seconds).value()); }

    void types() {
        for (const scene::NodeType* t : scene::allTypes()) {
            if (!t->fromPlugin) {
                continue;
            }
            char id[16];
            std::snprintf(id, sizeof id, "0x%x", t->typeId);
            out_ << "type " << t->name << " id=" << id
                 << " kind=" << (t->kind == scene::Kind::Locator ? "locator" : "dependNode")
                 << " attributes=";
            const char* sep = "";
            for (scene::AttrId a : t->attributes) {
                const scene::AttrDef* d = scene::attribute(a);
                out_ << sep << d->longName << "/" << d->shortName << "=" << num(d->defaultValue);
                sep = ",";
            }
            out_ << "\n";
        }
    }

    void dag(const scene::Node* n) {
        node(n);
        for (const scene::Node* child : n->children) {
            dag(child);
        }
    }

    void node(const scene::Node* n) {
        out_ << "node " << s_.fullPath(n) << " type=" << n->type->name << "\n";
        for (scene::AttrId a : n->type->attributes) {
            const scene::AttrDef* d = scene::attribute(a);
            if (d->type != scene::AttrType::Compound && d->writable) {
                out_ << "  " << d->longName << "=" << num(s_.storedValue(n, a)) << "\n";
            }
        }
        for (const scene::Key& k : n->keys) {
            out_ << "  key " << uiTime(k.time) << " " << num(k.value) << " "
                 << tangentName(k.inTangent) << " " << tangentName(k.outTangent) << "\n";
        }
        if (n->kind() == scene::Kind::PointConstraint ||
            n->kind() == scene::Kind::OrientConstraint) {
            const scene::Node* c = s_.find(n->constrained);
            out_ << "  constrains " << (c != nullptr ? s_.fullPath(c) : "<none>") << " targets";
            for (scene::NodeId id : n->targets) {
                out_ << " " << s_.fullPath(s_.find(id));
            }
            out_ << "\n";
        }
        for (const auto& p : n->points) {
            out_ << "  point " << num(p[0]) << " " << num(p[1]) << " " << num(p[2]) << "\n";
        }
    }

    void connections() {
        for (const scene::Connection& c : s_.connections()) {
            out_ << "connection " << plug(c.source) << " -> " << plug(c.destination) << "\n";
        }
    }

    std::string plug(const scene::PlugRef& p) {
        return s_.fullPath(s_.find(p.node)) + "." + scene::attribute(p.attr)->longName;
    }

    const scene::Scene& s_;
    const int digits_;
    std::ostringstream out_;
};

}  // namespace

namespace host {

void resetScene() {
    scene::theScene().clear();
    MTime::setUIUnit(MTime::kFilm);
    MDistance::setUIUnit(MDistance::kCentimeters);
}

std::string sceneDump(int significantDigits) {
    return Dumper(scene::theScene(), significantDigits).run();
}

}  // namespace host
