// The file translator that imports K-files: recognises them by the extension "K" and turns a
// take into animated locators. It imports only; it never writes files or opens scenes.
#pragma once

#include <maya/MFileObject.h>
#include <maya/MPxFileTranslator.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include "import/ChannelAnimator.h"

class KFileTranslator : public MPxFileTranslator {
  public:
    // The name the translator is registered under.
    static const char* const kName;

    // Imports the take; the options text and the access mode play no part. A file that is not
    // a complete K-file is reported to the user and fails the import with the scene untouched.
    MStatus reader(const MFileObject& file, const MString& options, FileAccessMode mode) override;
    bool haveReadMethod() const override;
    bool haveWriteMethod() const override;
    MString defaultExtension() const override;
    MString filter() const override;
    bool canBeOpened() const override;
    // By name only: the text after the last ".", or the whole name without one, must be "K"
    // in either case. The file's bytes are not looked at.
    MFileKind identifyFile(const MFileObject& file, const char* buffer, short size) const override;

    static void* creator();

  private:
    // The animators of the import in progress.
    ChannelAnimatorList animators_;
};
