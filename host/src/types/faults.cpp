#include <host/faults.h>

#include <set>
#include <utility>

namespace host {
namespace {

std::set<std::pair<Fault, std::string>>& faults() {
    static std::set<std::pair<Fault, std::string>> active;
    return active;
}

}  // namespace

void injectFault(Fault site, const std::string& name) {
    faults().insert({site, name});
}

void clearFault(Fault site, const std::string& name) {
    faults().erase({site, name});
}

void clearFaults() {
    faults().clear();
}

bool faultInjected(Fault site, const std::string& name) {
    const auto& active = faults();
    // Asked before every MEL statement: without faults that costs no lookups.
    return !active.empty() && (active.count({site, name}) > 0 || active.count({site, "*"}) > 0);
}

}  // namespace host
