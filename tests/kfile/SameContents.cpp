#include "SameContents.h"

#include "TestFiles.h"

testing::AssertionResult SameContents(const kfile::KFileContents& a,
                                      const kfile::KFileContents& b) {
    std::string left = testsupport::DescribeContents(a);
    std::string right = testsupport::DescribeContents(b);
    if (left == right) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "contents differ:\n--- first\n"
                                       << left.substr(0, 2000) << "\n--- second\n"
                                       << right.substr(0, 2000);
}
