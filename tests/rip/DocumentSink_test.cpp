#include "FakeHost.h"
#include "rip/DocumentSink.h"
#include "subtitles/BannerClock.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;

// The rip goes on past a full store: the first refusal of each run of them is said.
TEST(DocumentSink, AFullStoreIsSaidOnceForEachRunOfRefusals) {
    FixedBannerClock clock{"01/02/2003 04:05:06"};
    SubtitleDocument document{clock};
    FakeHost host;
    DocumentSink sink(document, host);
    for (int i = 0; i < SubtitleStore::kCapacity; ++i) sink.add({"line"}, {}, {}, {});
    host.answers = {Answer::Ok, Answer::Ok};
    sink.add({"refused"}, {}, {}, {});
    sink.add({"refused too"}, {}, {}, {});
    document.discardAll();
    sink.add({"room again"}, {}, {}, {});
    for (int i = 1; i < SubtitleStore::kCapacity; ++i) sink.add({"line"}, {}, {}, {});
    sink.add({"refused again"}, {}, {}, {});
    EXPECT_EQ(std::pair(host.questions.size(), sink.refused()), std::pair(size_t(2), 3));
}
