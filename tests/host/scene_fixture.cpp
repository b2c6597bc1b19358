#include "scene_fixture.h"

namespace scenetest {
MObject TestLocator::sizeAttr;
}
