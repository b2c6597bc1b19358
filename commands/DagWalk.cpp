#include "commands/DagWalk.h"

#include <maya/MGlobal.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

namespace dagwalk {

std::vector<std::string> selectionStrings(const MSelectionList& selection) {
    MStringArray strings;
    selection.getSelectionStrings(strings);
    std::vector<std::string> names;
    for (unsigned int i = 0; i < strings.length(); ++i) {
        names.push_back(strings[i].asChar());
    }
    return names;
}

std::vector<std::string> childPaths(const std::string& path) {
    MStringArray children;
    const std::string query = "listRelatives -c -f " + path;
    MGlobal::executeCommand(MString(query.c_str()), children, false, false);
    std::vector<std::string> paths;
    for (unsigned int i = 0; i < children.length(); ++i) {
        paths.push_back(children[i].asChar());
    }
    return paths;
}

std::string leafName(const std::string& path) {
    const size_t bar = path.rfind('|');
    return bar == std::string::npos ? path : path.substr(bar + 1);
}

bool hasLocatorShape(const std::vector<std::string>& children,
                     const std::vector<const char*>& typeNames) {
    for (const std::string& child : children) {
        const std::string leaf = leafName(child);
        for (const char* typeName : typeNames) {
            if (leaf.find(typeName) != std::string::npos) {
                return true;
            }
        }
    }
    return false;
}

MStatus run(const std::string& command) {
    return MGlobal::executeCommand(MString(command.c_str()), false, false);
}

}  // namespace dagwalk
