#pragma once
// The access mode of the file operation in progress, for MPxFileTranslator::fileAccessMode.

#include <maya/MPxFileTranslator.h>

namespace plugin {

MPxFileTranslator::FileAccessMode currentAccessMode();

class AccessModeScope {
  public:
    explicit AccessModeScope(MPxFileTranslator::FileAccessMode mode);
    ~AccessModeScope();
    AccessModeScope(const AccessModeScope&) = delete;
    AccessModeScope& operator=(const AccessModeScope&) = delete;

  private:
    MPxFileTranslator::FileAccessMode previous_;
};

}  // namespace plugin
