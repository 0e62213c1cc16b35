// The command line as the parser reads it: modes, their arguments, and the
// combinations that are usage errors.
#include <gtest/gtest.h>

#include <tuple>

#include "app/CommandLine.h"
#include "app/QueryMode.h"
#include "app/RconMode.h"
#include "app/ScanMode.h"
#include "app/WatchMode.h"
#include "app/core/ScanPass.h"

namespace tarvix {
namespace {

using Args = std::vector<std::string>;

CommandLine parse(Args args) {
  args.insert(args.begin(), "tarvix");
  return parseCommandLine(args);
}

std::string joined(const Args& args) {
  std::string text;
  for (const std::string& a : args) text += a + " ";
  return text;
}

TEST(CommandLine, ModesAndTheirArguments) {
  EXPECT_EQ(parse({}).mode, ProgramMode::Window);
  // Qt's own window options still reach the window.
  EXPECT_EQ(parse({"-platform", "offscreen", "-style", "fusion", "-reverse"}).mode,
            ProgramMode::Window);
  EXPECT_EQ(parse({"--help"}).mode, ProgramMode::Help);
  EXPECT_EQ(parse({"-h"}).mode, ProgramMode::Help);
  EXPECT_EQ(parse({"--version"}).mode, ProgramMode::Version);

  const CommandLine scanLine =
      parse({"--scan", "My List", "--timeout", "300", "--json", "--data", "/d"});
  EXPECT_EQ(scanLine.mode, ProgramMode::Headless);
  const ScanArguments* scan = scanLine.arguments<ScanArguments>();
  ASSERT_NE(scan, nullptr);
  EXPECT_EQ(scan->list, "My List");
  EXPECT_EQ(scan->timeoutMs, 300);
  EXPECT_TRUE(scan->json);
  EXPECT_EQ(scanLine.dataFolder, "/d");
  const CommandLine bare = parse({"--scan"});
  ASSERT_NE(bare.arguments<ScanArguments>(), nullptr);
  EXPECT_FALSE(bare.arguments<ScanArguments>()->list.has_value());
  EXPECT_FALSE(bare.arguments<ScanArguments>()->parallel.has_value());
  EXPECT_FALSE(bare.arguments<ScanArguments>()->json);

  // --parallel with or without a number, before or after the list; a list
  // named like a number goes before the switch.
  const std::vector<std::tuple<Args, std::optional<std::string>, int>> parallel = {
      {{"--scan", "--parallel", "Other"}, "Other", kDefaultParallelQueries},
      {{"--scan", "Other", "--parallel", "2"}, "Other", 2},
      {{"--parallel", "7", "--scan", "Other"}, "Other", 7},
      {{"--scan", "500", "--parallel", "--json"}, "500", kDefaultParallelQueries},
      {{"--scan", "--parallel"}, std::nullopt, kDefaultParallelQueries},
  };
  for (const auto& [args, list, queries] : parallel) {
    const CommandLine line = parse(args);
    const ScanArguments* p = line.arguments<ScanArguments>();
    ASSERT_NE(p, nullptr) << joined(args);
    EXPECT_EQ(p->list, list);
    EXPECT_EQ(p->parallel, queries);
  }
  // Retries only when asked for, up to their maximum (refusals below).
  const std::vector<std::pair<Args, int>> retries = {
      {{"--scan", "--parallel"}, 0},
      {{"--scan", "--retries", "0"}, 0},
      {{"--scan", "--retries", "9"}, kMaxScanRetries},
      {{"--retries", "1", "--scan", "L", "--parallel", "3"}, 1},
  };
  for (const auto& [args, count] : retries) {
    const CommandLine line = parse(args);
    ASSERT_NE(line.arguments<ScanArguments>(), nullptr) << joined(args);
    EXPECT_EQ(line.arguments<ScanArguments>()->retries, count);
  }

  const CommandLine watchLine = parse({"--data", "srv", "--watch", "10.0.0.1:12203", "s3cret",
                                       "--bans", "--announce", "--every", "30"});
  const WatchSettings* watch = watchLine.arguments<WatchSettings>();
  ASSERT_NE(watch, nullptr);
  EXPECT_EQ(watch->host, "10.0.0.1");
  EXPECT_EQ(watch->port, "12203");
  EXPECT_EQ(watch->password, "s3cret");
  EXPECT_TRUE(watch->bans);
  EXPECT_FALSE(watch->skins);
  EXPECT_TRUE(watch->announce);
  EXPECT_EQ(watch->everySeconds, 30);
  EXPECT_EQ(watchLine.dataFolder, "srv");
  EXPECT_EQ(parse({"--watch", "h:1", "pw"}).arguments<WatchSettings>()->everySeconds,
            kWatchDefaultEverySeconds);
  EXPECT_EQ(parse({"--watch", "h:65535", "pw"}).arguments<WatchSettings>()->port, "65535");
}

TEST(CommandLine, NumberOptionsTakeTheirLimits) {
  // The refusals one past each limit are among the usage errors below.
  const CommandLine parallel = parse({"--scan", "--parallel", "10000"});
  ASSERT_NE(parallel.arguments<ScanArguments>(), nullptr);
  EXPECT_EQ(parallel.arguments<ScanArguments>()->parallel, kMaxParallelQueries);
  EXPECT_EQ(parse({"--scan", "--parallel", "1"}).arguments<ScanArguments>()->parallel, 1);
  const CommandLine longest = parse({"--scan", "--timeout", "86400000"});
  ASSERT_NE(longest.arguments<ScanArguments>(), nullptr);
  EXPECT_EQ(longest.arguments<ScanArguments>()->timeoutMs, 86400000);
  const CommandLine shortest = parse({"--query", "h:1", "--timeout", "0"});
  ASSERT_NE(shortest.arguments<QueryArguments>(), nullptr);
  EXPECT_EQ(shortest.arguments<QueryArguments>()->timeoutMs, 0);
  const CommandLine every = parse({"--watch", "h:1", "pw", "--every", "86400"});
  ASSERT_NE(every.arguments<WatchSettings>(), nullptr);
  EXPECT_EQ(every.arguments<WatchSettings>()->everySeconds, 86400);
  EXPECT_EQ(
      parse({"--watch", "h:1", "pw", "--every", "1"}).arguments<WatchSettings>()->everySeconds, 1);
}

TEST(CommandLine, RconCommandWordsAreTakenVerbatim) {
  // Options stand before the password; everything after it is the command.
  const CommandLine c = parse({"--timeout", "50", "--rcon", "h:1", "--data", "/d", "p\u00e9w",
                               "say", "--json", "--", "-x", "--timeout"});
  const RconArguments* rcon = c.arguments<RconArguments>();
  ASSERT_NE(rcon, nullptr);
  EXPECT_EQ(rcon->address, "h:1");
  EXPECT_EQ(rcon->timeoutMs, 50);
  EXPECT_EQ(c.dataFolder, "/d");
  EXPECT_EQ(rcon->password, "p\xE9w");  // in the data's code page
  EXPECT_EQ(rcon->words, (std::vector<std::string>{"say", "--json", "--", "-x", "--timeout"}));

  // The address joined to the option by "=" chooses rcon just as well.
  for (const std::string option : {"--rcon=h:2", "-rcon=h:2"}) {
    const CommandLine joined = parse({option, "pw", "say", "--json"});
    const RconArguments* r = joined.arguments<RconArguments>();
    ASSERT_NE(r, nullptr) << option;
    EXPECT_EQ(r->address, "h:2");
    EXPECT_EQ(r->password, "pw");
    EXPECT_EQ(r->words, (std::vector<std::string>{"say", "--json"}));
  }
}

TEST(CommandLine, UsageErrors) {
  const std::vector<Args> bad = {
      {"--bogus"},
      {"stray"},
      {"--query"},
      {"--query", "h"},
      {"--query", ":1"},
      {"--query", "h:1", "extra"},
      {"--query", "h:1", "--scan"},
      {"--query", "h:1", "--timeout", "soon"},
      {"--query", "h:1", "--timeout", "-5"},
      {"--scan", "a", "b"},
      {"--rcon", "h:1", "pw"},
      {"--rcon", "h:1", "pw", "say", "\u65e5"},  // no code page has it
      {"--rcon", "h:1", "--json", "pw", "status"},
      {"--watch", "h:1"},
      {"--watch", "h:1", "pw", "more"},
      {"--watch", "h:1", ""},
      // A port the daemon could never use is refused at once.
      {"--watch", "127.0.0.1:abc", "pw"},
      {"--watch", "127.0.0.1:0", "pw"},
      {"--watch", "127.0.0.1:65536", "pw"},
      {"--watch", "[::1]:12203", "pw"},
      {"--watch", "h:1", "pw", "--every", "0"},
      {"--watch", "h:1", "pw", "--every", "x"},
      {"--watch", "h:1", "pw", "--json"},
      {"--scan", "--bans"},
      {"--every", "5"},
      {"--json"},
      {"--scan", "--parallel", "0"},
      {"--scan", "--parallel", "10001"},
      {"--browse", "--parallel", "0"},
      {"--browse", "--parallel", "10001"},
      {"--scan", "--timeout", "86400001"},
      {"--watch", "h:1", "pw", "--every", "86401"},
      {"--query", "127.0.0.1:1", "--parallel"},
      {"--scan", "--retries"},
      {"--scan", "--retries", "-1"},
      {"--scan", "--retries", "10"},
      {"--query", "127.0.0.1:1", "--retries", "1"},
  };
  for (const Args& args : bad) {
    const CommandLine c = parse(args);
    EXPECT_EQ(c.mode, ProgramMode::UsageError) << joined(args);
    EXPECT_FALSE(c.problem.empty());
  }
}

// The option reader's own texts are those the program has always printed
// (QCommandLineParser's): every unknown option named, else the last wrong value.
TEST(CommandLine, OptionReaderTexts) {
  const std::vector<std::pair<Args, std::string>> texts = {
      {{"--bogus"}, "Unknown option 'bogus'."},
      {{"-x", "--query", "h:1", "---y", "--=v", "--timeout="}, "Unknown options: x, -y, ."},
      {{"--json=1", "--query=h:1", "--timeout"}, "Missing value after '--timeout'."},
      {{"--json=1", "-lan=2", "--browse"}, "Unexpected value after '-lan'."},
      {{"--query", "h:1", "-", "--"}, "unexpected argument: -"},
      {{"--", "--query", "h:1"}, "unexpected argument: --query"},
      {{"--query", "h:1", "--timeout", " 7 ", "x"}, "unexpected argument: x"},
      {{"--query", "h:1", "--timeout", "7x"}, "--timeout needs a number of milliseconds"},
      {{"--scan", "--parallel", "-", "x"}, "--scan takes at most one LIST"},
  };
  for (const auto& [args, text] : texts) {
    const CommandLine c = parse(args);
    EXPECT_EQ(c.mode, ProgramMode::UsageError) << joined(args);
    EXPECT_EQ(c.problem, text) << joined(args);
  }
}

}  // namespace
}  // namespace tarvix
