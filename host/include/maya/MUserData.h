#pragma once
// Data that a plug-in attaches to what the host draws; the host deletes it after use when
// deleteAfterUse says so.

#include <maya/MTypes.h>

class MUserData {
  public:
    MUserData(bool deleteAfterUse);
    virtual ~MUserData();

    bool deleteAfterUse();
    void setDeleteAfterUse(bool shouldDelete);

  private:
    bool deleteAfterUse_;
};
