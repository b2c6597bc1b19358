// kfile generate: a synthetic take.
#include "Commands.h"

int RunGenerate(const GenerateOptions& options, Console& console) {
    const std::string refused = CheckTakeOptions(options.take);
    if (!refused.empty()) {
        console.err << "kfile: " << refused << "\n";
        return 2;
    }
    bool written;
    {
        Progress progress(console, "writing frames");
        written = WriteGeneratedTake(options.take, options.out, [&](int32_t done, int32_t total) {
            progress.Show(done, total);
        });
    }
    if (!written) {
        console.err << "kfile: cannot write '" << options.out << "'\n";
        return 1;
    }
    const TakeOptions& take = options.take;
    console.out << "wrote " << options.out << ": " << take.subjects << " subjects with "
                << take.markers << " markers and " << take.segments << " segments each, "
                << take.frames << " frames at " << take.rate << " fps from frame "
                << take.firstFrame << ", seed " << take.seed << "\n";
    return 0;
}

Progress::~Progress() {
    if (shown_) {
        console_.err << "\r\033[K" << std::flush;
    }
}

void Progress::Show(int64_t done, int64_t total) {
    if (!console_.progress) {
        return;
    }
    console_.err << "\r" << what_ << ": " << done << " of " << total << std::flush;
    shown_ = true;
}
