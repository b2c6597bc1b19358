#include "import/ChannelLabels.h"

#include <algorithm>
#include <array>

namespace {

constexpr char kWhiteSpace[] = " \t\r\n";

constexpr std::array<const char*, 3> kPositionSuffixes = {"<P-X>", "<P-Y>", "<P-Z>"};
constexpr std::array<const char*, 6> kSegmentSuffixes = {"<A-X>", "<A-Y>", "<A-Z>",
                                                         "<T-X>", "<T-Y>", "<T-Z>"};

struct SlotRow {
    const char* suffix;
    ChannelSlot slot;
    const char* attribute;
};

// Compared ignoring case, so the lower-case forms that files also hold ("<a-X>", "<t-Y>")
// land on the same rows.
constexpr std::array<SlotRow, 9> kSlotTable = {{
    {"<P-X>", kSlotTX, "tx"},
    {"<P-Y>", kSlotTY, "ty"},
    {"<P-Z>", kSlotTZ, "tz"},
    {"<A-X>", kSlotRX, "rx"},
    {"<A-Y>", kSlotRY, "ry"},
    {"<A-Z>", kSlotRZ, "rz"},
    {"<T-X>", kSlotTX, "tx"},
    {"<T-Y>", kSlotTY, "ty"},
    {"<T-Z>", kSlotTZ, "tz"},
}};

bool isNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
}

// The text from the first "<" to the end of the label, compared exactly with the suffixes.
template <size_t N>
bool hasSuffixFrom(const std::string& label, const std::array<const char*, N>& suffixes) {
    size_t open = label.find('<');
    if (open == std::string::npos) {
        return false;
    }
    const std::string suffix = label.substr(open);
    return std::any_of(suffixes.begin(), suffixes.end(),
                       [&suffix](const char* candidate) { return suffix == candidate; });
}

void appendUnlessPresent(std::vector<std::string>& names, const std::string& name) {
    bool present = std::any_of(names.begin(), names.end(), [&name](const std::string& known) {
        return equalsIgnoringCase(known, name);
    });
    if (!present) {
        names.push_back(name);
    }
}

}  // namespace

std::string channelBaseName(const std::string& label) {
    size_t open = label.rfind('<');
    if (open == std::string::npos) {
        return label;
    }
    return trimTrailingSpace(label.substr(0, open));
}

bool isPositionLabel(const std::string& label) {
    return hasSuffixFrom(label, kPositionSuffixes);
}

bool isSegmentLabel(const std::string& label) {
    return hasSuffixFrom(label, kSegmentSuffixes);
}

void classifyChannels(const std::vector<std::string>& labels,
                      std::vector<std::string>& segmentNames, std::vector<std::string>& localNames,
                      std::vector<std::string>& markerNames) {
    for (const std::string& label : labels) {
        std::vector<std::string>& target = isPositionLabel(label)  ? markerNames
                                           : isSegmentLabel(label) ? segmentNames
                                                                   : localNames;
        appendUnlessPresent(target, channelBaseName(label));
    }
}

ChannelSlot channelSlotForLabel(const std::string& text, std::string& attributeName) {
    const std::string suffix = trimTrailingSpace(trimLeadingSpace(text));
    for (const SlotRow& row : kSlotTable) {
        if (equalsIgnoringCase(suffix, row.suffix)) {
            attributeName = row.attribute;
            return row.slot;
        }
    }
    attributeName.clear();
    return kNoChannelSlot;
}

void splitSubjectName(const std::string& name, std::string& prefix, std::string& localName) {
    size_t colon = name.find(':');
    if (colon == std::string::npos) {
        prefix.clear();
        localName = name;
        return;
    }
    // "Bob1" and "Bob2" are takes of one subject: the prefix ends at its first digit.
    std::string subject = name.substr(0, std::min(colon, name.find_first_of("1234567890")));
    localName = name.substr(colon + 1);
    prefix = std::move(subject);
}

std::string trimLeadingSpace(const std::string& text) {
    size_t first = text.find_first_not_of(kWhiteSpace);
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string trimTrailingSpace(const std::string& text) {
    size_t last = text.find_last_not_of(kWhiteSpace);
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

const char kUnnamedCharacter[] = "UnnamedCharacter";

std::string nodeName(const std::string& name) {
    if (name.empty()) {
        return "_";
    }
    std::string result;
    for (char c : name) {
        result += isNameCharacter(c) ? c : '_';
    }
    if (!result.empty() && result[0] >= '0' && result[0] <= '9') {
        result.insert(0, "_");
    }
    return result;
}

std::string groupName(const std::string& prefix) {
    return prefix.empty() ? prefix : nodeName(prefix);
}

std::vector<LocatorPlan> planLocators(const std::vector<std::string>& labels) {
    std::vector<std::string> segmentNames;
    std::vector<std::string> localNames;
    std::vector<std::string> markerNames;
    classifyChannels(labels, segmentNames, localNames, markerNames);
    std::vector<LocatorPlan> plan;
    auto add = [&plan](LocatorKind kind, const std::string& name, const char* suffix) {
        std::string prefix;
        std::string localName;
        splitSubjectName(name + suffix, prefix, localName);
        if (prefix.empty() && kind == LocatorKind::kMarker) {
            prefix = kUnnamedCharacter;
        }
        plan.push_back({kind, name, groupName(prefix), nodeName(localName)});
    };
    for (const std::string& name : segmentNames) {
        add(LocatorKind::kSegment, name, "");
    }
    for (const std::string& name : localNames) {
        add(LocatorKind::kLocal, name, "_local");
    }
    for (const std::string& name : markerNames) {
        add(LocatorKind::kMarker, name, "_marker");
    }
    return plan;
}

bool labelFeedsLocator(const std::string& label, const LocatorPlan& locator) {
    if (label.compare(0, locator.name.size(), locator.name) != 0) {
        return false;
    }
    switch (locator.kind) {
        case LocatorKind::kSegment:
            return isSegmentLabel(label);
        case LocatorKind::kLocal:
            return !isSegmentLabel(label);
        case LocatorKind::kMarker:
            return true;
    }
    return false;
}
