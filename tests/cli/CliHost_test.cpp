#include "Args.h"
#include "CliHost.h"
#include "LineBuffer.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace mirtal;
using namespace mirtal::cli;

namespace {

struct Terminal {
    std::istringstream in;
    std::ostringstream out, err;
    CliIo io;
    Args args;
    explicit Terminal(const std::string& typed, bool tty, std::vector<std::string> argv = {})
        : in(typed), io{in, out, err, tty} {
        std::string error;
        EXPECT_TRUE(parseArgs(argv, args, error)) << error;
    }
};

} // namespace

TEST(CliHost, TerminalAnswersAreReadAndRepeatedUntilValid) {
    Terminal t("maybe\nn\n", true);
    CliHost host(t.io, t.args);
    EXPECT_EQ(host.ask(MessageKind::Warning, {Answer::Yes, Answer::No}, "Bad\rGo on ?"),
              Answer::No);
    EXPECT_NE(t.err.str().find("warning: Bad\n    Go on ?"), std::string::npos);
    EXPECT_EQ(host.warnings(), 1);
    // At the end of the input the default is taken.
    EXPECT_EQ(host.ask(MessageKind::Confirmation, {Answer::Yes, Answer::No}, "Again ?"),
              Answer::Yes);
}

TEST(CliHost, WithoutTerminalDefaultsAreTakenAndReported) {
    Terminal yes("", false);
    CliHost host(yes.io, yes.args);
    EXPECT_EQ(host.ask(MessageKind::Warning, {Answer::Yes, Answer::No}, "q"), Answer::Yes);
    EXPECT_NE(yes.err.str().find("(no terminal) answered yes"), std::string::npos);
    EXPECT_EQ(host.ask(MessageKind::Warning, {Answer::Ok}, "only ok"), Answer::Ok);
    EXPECT_EQ(host.ask(MessageKind::Confirmation, {Answer::Cancel, Answer::Ignore}, "q"),
              Answer::Cancel);
    EXPECT_FALSE(host.chooseSaveFile({}).has_value());
    EXPECT_EQ(host.askGlyph({}).action, GlyphAction::SkipSubpicture);
    EXPECT_EQ(host.waitAtProgression(), ProgressionChoice::NoStop);

    Terminal no("", false, {"--answer", "no"});
    CliHost refusing(no.io, no.args);
    EXPECT_EQ(refusing.ask(MessageKind::Warning, {Answer::Yes, Answer::No}, "q"), Answer::No);
}

// Standard error goes out one whole line per write, however it was put
// together; a flush (a prompt) hands on what there is.
TEST(CliHost, StandardErrorIsWrittenInWholeLines) {
    std::vector<std::string> writes;
    {
        LineBuffer lines([&](std::string_view s) { writes.emplace_back(s); });
        std::ostream err(&lines);
        err << "mirtal-rip: "
            << "warning: " << 130 << '\n'
            << "    go on ?\na" << 'b';
        err << "  [yes/no] " << std::flush << "end";
    }
    EXPECT_EQ(writes, (std::vector<std::string>{"mirtal-rip: warning: 130\n", "    go on ?\n",
                                                "ab  [yes/no] ", "end"}));
}

TEST(CliArgs, OptionsValuesAndInputs) {
    Args a;
    std::string error;
    std::vector<std::string> argv = {"--list", "a.vob", "--stream=fr", "-s",
                                     "2",      "--",    "--odd.vob"};
    ASSERT_TRUE(parseArgs(argv, a, error)) << error;
    EXPECT_EQ(a.command, "--list");
    EXPECT_EQ(a.inputs, (std::vector<std::string>{"a.vob", "--odd.vob"}));
    EXPECT_EQ(a.value("--stream"), "2"); // the last one counts
    EXPECT_EQ(a.values("--stream").size(), 2u);
    EXPECT_FALSE(a.has("--time-code"));

    std::vector<std::string> flagWithValue = {"--list", "--progress=yes"};
    EXPECT_FALSE(parseArgs(flagWithValue, a, error));
    EXPECT_NE(error.find("takes no value"), std::string::npos);
}
