#include "ContentsMatcher.h"

#include <sstream>

namespace {

// Writes everything a contents object holds as text, so that a difference shows as a diff.
std::string Describe(const KFileContents& contents) {
    std::ostringstream out;
    out << "version " << contents.GetVersion() << "\n";
    for (int32_t s = 0; s < contents.GetSectionCount(); ++s) {
        const KFileSection* section = contents.GetSection(s);
        out << "section " << section->GetName() << "\n";
        if (auto* groups = dynamic_cast<const KFileDatagroupSection*>(section)) {
            for (int32_t i = 0; i < groups->GetRecordCount(); ++i) {
                const KFileDatagroupRecord* g = groups->GetRecord(i);
                out << "  group " << g->GetId() << " '" << g->GetName() << "' " << g->GetValueType()
                    << " " << int{g->GetValueSize()} << " " << g->GetRate();
                for (const auto& label : g->GetLabels()) {
                    out << " [" << label << "]";
                }
                out << "\n";
            }
        }
        if (auto* parameters = dynamic_cast<const KFileParameterSection*>(section)) {
            for (int32_t i = 0; i < parameters->GetRecordCount(); ++i) {
                const KFileParameterRecord* p = parameters->GetRecord(i);
                out << "  parameter '" << p->GetName() << "' " << p->GetType() << " dims";
                for (int16_t d : p->GetDimensions()) {
                    out << " " << d;
                }
                out << " values";
                for (uint8_t v : p->GetValues()) {
                    out << " " << int{v};
                }
                out << "\n";
            }
        }
    }
    for (int32_t i = 0; i < contents.GetDynamicRecordCount(); ++i) {
        const KFileDynamicRecord* r = contents.GetDynamicRecord(i);
        out << "record " << r->GetId() << " " << r->GetFrame() << " :";
        for (int32_t b = 0; b < r->GetLength(); ++b) {
            out << " " << int{r->GetData()[b]};
        }
        out << "\n";
    }
    return out.str();
}

}  // namespace

testing::AssertionResult SameContents(const KFileContents& a, const KFileContents& b) {
    std::string left = Describe(a);
    std::string right = Describe(b);
    if (left == right) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "contents differ:\n--- first\n"
                                       << left.substr(0, 2000) << "\n--- second\n"
                                       << right.substr(0, 2000);
}
