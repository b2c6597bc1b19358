// The stand-in's direct reading of a plug's keys, for programs that summarise a scene without
// going through MEL text.

#include <maya/MTime.h>

#include <host/scene.h>

#include "scene/model.h"

namespace host {

bool keyTimes(const std::string& plugName, std::vector<double>* times, std::string* error) {
    times->clear();
    const scene::Scene& s = scene::theScene();
    const size_t dot = plugName.rfind('.');
    std::string lookupError;
    const scene::Node* n =
        dot == std::string::npos ? nullptr : s.lookup(plugName.substr(0, dot), &lookupError);
    const scene::AttrId attr = n ? s.findAttribute(n, plugName.substr(dot + 1)) : -1;
    if (attr < 0) {
        if (error != nullptr) {
            *error = n                     ? "No attribute: " + plugName
                     : lookupError.empty() ? "Not a plug: " + plugName
                                           : lookupError;
        }
        return false;
    }
    const scene::Connection* in = s.incoming({n->id, attr});
    const scene::Node* curve = in ? s.find(in->source.node) : nullptr;
    if (curve == nullptr || !curve->isCurve()) {
        return true;
    }
    const MTime::Unit unit = MTime::uiUnit();
    times->reserve(curve->keys.size());
    for (const scene::Key& key : curve->keys) {
        times->push_back(MTime(key.time, MTime::kSeconds).as(unit));
    }
    return true;
}

}  // namespace host
