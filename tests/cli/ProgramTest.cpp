// The program itself, started as a child process without a display.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <cstdlib>
#include <filesystem>

#include "support/ConfigLines.h"
#include "support/FakeGameServer.h"
#include "support/TempDataDir.h"

namespace tarvix {
namespace {

namespace fs = std::filesystem;
using namespace test;

struct Finished {
  int code = -1;
  bool crashed = false;
  QString out;
  QString err;
};

// No display of any kind: a window would abort the program.
QProcessEnvironment headlessEnvironment() {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_DATA_HOME"})
    env.remove(name);
  return env;
}

void start(QProcess& p, const QStringList& args, const QString& folder,
           const QProcessEnvironment& env = headlessEnvironment()) {
  p.setProcessEnvironment(env);
  p.setWorkingDirectory(folder);
  p.start(TARVIX_BINARY, args);
  ASSERT_TRUE(p.waitForStarted(10000));
}

Finished finish(QProcess& p, int timeoutMs = 30000) {
  Finished f;
  EXPECT_TRUE(p.waitForFinished(timeoutMs));
  f.crashed = p.exitStatus() != QProcess::NormalExit;
  f.code = p.exitCode();
  f.out = QString::fromUtf8(p.readAllStandardOutput());
  f.err = QString::fromUtf8(p.readAllStandardError());
  return f;
}

Finished runProgram(const QStringList& args, const QString& folder,
                    const QProcessEnvironment& env = headlessEnvironment()) {
  QProcess p;
  start(p, args, folder, env);
  return finish(p);
}

// A Config whose reply time-out is `ms`.
std::vector<std::string> configTimingOutAfter(const std::string& ms) {
  return test::configLines("timer off", "Serverlists\\Standard", "clantags off", "Player", "", ms,
                           "fast");
}

// A server that takes the rcon password "secret" and answers nothing else.
void takePasswordSecret(FakeGameServer& server) {
  server.setResponder([](const test::FakeDatagram& d) {
    return d.bytes.find("rcon secret status") != std::string::npos
               ? test::FakeAnswer::reply(makePrintReply("\nmap: dm/mohdm1\n"))
               : test::FakeAnswer::silence();
  });
}

// --watch on the fake server with the data folder, from the root folder.
void startWatch(QProcess& p, const FakeGameServer& server, const QString& password,
                const TempDataDir& dir, const QStringList& more = {}) {
  start(p,
        QStringList{"--watch", QString::fromStdString("127.0.0.1:" + server.portText()), password,
                    "--data", QString::fromStdString(dir.path())} +
            more,
        "/");
}

TEST(Program, HelpVersionAndUsageErrorsWithoutADisplay) {
  TempDataDir dir;  // no data folder: none is needed, none is made
  const QString here = QString::fromStdString(dir.path());
  Finished help = runProgram({"--help"}, here);
  EXPECT_FALSE(help.crashed);
  EXPECT_EQ(help.code, 0) << help.err.toStdString();
  EXPECT_TRUE(help.out.startsWith("usage: tarvix")) << help.out.toStdString();

  Finished version = runProgram({"--version"}, here);
  EXPECT_EQ(version.code, 0);
  EXPECT_EQ(version.out, "tarvix 2.10\n");

  // No password: nothing may go to the server.
  for (const QStringList& args :
       {QStringList{"--no-such-option"}, QStringList{"stray"},
        QStringList{"--watch", "127.0.0.1:1"}, QStringList{"--watch", "127.0.0.1:1", ""}}) {
    Finished bad = runProgram(args, here);
    EXPECT_FALSE(bad.crashed) << args.join(' ').toStdString();
    EXPECT_EQ(bad.code, 2) << args.join(' ').toStdString();
    EXPECT_TRUE(bad.err.contains("usage: tarvix")) << bad.err.toStdString();
    EXPECT_TRUE(bad.out.isEmpty());
  }
  EXPECT_EQ(fs::directory_iterator(dir.path()), fs::directory_iterator());
}

TEST(Program, FirstStartMakesThePerUserFolderFromTheInstalledTemplate) {
  TempDataDir dir;
  FakeGameServer server;
  server.setReply(makeStatusReply("\\sv_hostname\\Home\\mapname\\dm/mohdm1\\sv_maxclients\\8",
                                  {{40, "Sniper"}}));
  dir.writeLines("share/tarvix/data/Config", configTimingOutAfter("300"));
  dir.writeLines("share/tarvix/data/Serverlists/Standard",
                 {"Home", FakeGameServer::host(), server.portText()});
  dir.writeLines("share/tarvix/data/Buddys.txt", {"sniper"});
  dir.write("share/tarvix/data/clantags.txt", "");
  fs::create_directories(dir.path() + "/work");
  QProcessEnvironment env = headlessEnvironment();
  env.insert("XDG_DATA_HOME", QString::fromStdString(dir.path() + "/home"));
  env.insert("XDG_DATA_DIRS", QString::fromStdString(dir.path() + "/share"));

  Finished scan =
      runProgram({"--scan", "--json"}, QString::fromStdString(dir.path() + "/work"), env);
  ASSERT_EQ(scan.code, 0) << scan.err.toStdString();
  const QJsonObject root = QJsonDocument::fromJson(scan.out.toUtf8()).object();
  ASSERT_EQ(root["servers"].toArray().size(), 1) << scan.out.toStdString();
  EXPECT_EQ(root["servers"].toArray()[0].toObject()["caption"].toString(), "1/8");
  EXPECT_EQ(root["buddies"].toArray()[0].toObject()["server"].toString(), "Home");
  EXPECT_TRUE(dir.exists("home/tarvix/Serverlists/Standard"));
  EXPECT_FALSE(dir.exists("work/Config"));
}

TEST(Program, ScanReportsOnlyTheHitsThePreviousPassDidNotHave) {
  TempDataDir dir;
  FakeGameServer alpha, bravo;
  dir.writeInstallation({"Alpha Busy Server", FakeGameServer::host(), alpha.portText(), "Bravo",
                         FakeGameServer::host(), bravo.portText()});
  dir.writeLines("Buddys.txt", {"Sniper", "J\xE4ger"});
  auto pass = [&](std::vector<std::pair<int, std::string>> onAlpha,
                  std::vector<std::pair<int, std::string>> onBravo) {
    alpha.setReply(makeStatusReply("\\sv_maxclients\\16", onAlpha));
    bravo.setReply(makeStatusReply("\\sv_maxclients\\16", onBravo));
    Finished f =
        runProgram({"--scan", "--json", "--timeout", "2000"}, QString::fromStdString(dir.path()));
    EXPECT_EQ(f.code, 0) << f.err.toStdString();
    QStringList hits;
    for (const QJsonValue& b : QJsonDocument::fromJson(f.out.toUtf8())["newBuddies"].toArray())
      hits << b["caption"].toString() + " is on " + b["server"].toString();
    return hits;
  };
  auto iniFile = [&] {
    struct stat st {};
    ::stat((dir.path() + "/tarvix.ini").c_str(), &st);
    return st.st_ino;
  };
  EXPECT_EQ(pass({{30, "sniper"}}, {}), QStringList{"Sniper is on Alpha Busy Server"});
  const ino_t written = iniFile();
  EXPECT_EQ(pass({{30, "sniper"}}, {}), QStringList{});
  EXPECT_EQ(iniFile(), written) << "the same hits need no new tarvix.ini";
  EXPECT_EQ(pass({{30, "sniper"}}, {{40, "J\xE4GER"}}),
            QStringList{QString::fromUtf8("J\u00e4ger is on Bravo")});
  // Moving to another server is a new hit; leaving and coming back is too.
  EXPECT_EQ(pass({}, {{30, "SNIPER"}, {40, "j\xE4ger"}}), QStringList{"Sniper is on Bravo"});
  EXPECT_EQ(pass({}, {}), QStringList{});
  EXPECT_EQ(pass({}, {{30, "Sniper"}}), QStringList{"Sniper is on Bravo"});
}

TEST(Program, WatchStopsCleanlyOnSigtermInTheMiddleOfAWait) {
  TempDataDir dir;
  dir.writeInstallation();
  dir.writeLines("Config", configTimingOutAfter("250"));
  FakeGameServer server;
  // The password check is answered; the passes' status queries never are,
  // so the announcer sits in its 90-second wait.
  takePasswordSecret(server);
  QProcess p;
  startWatch(p, server, "-", dir, {"--announce", "--every", "1"});
  p.write("secret\n");  // "-": the password comes on standard input
  ASSERT_TRUE(p.waitForBytesWritten(10000));
  p.closeWriteChannel();
  // Password check and anti-cheat query at once; after the first second a
  // check and the announcer's query, which is never answered.
  ASSERT_TRUE(server.waitForCount(4, 10000));
  p.terminate();  // SIGTERM
  const Finished f = finish(p, 10000);
  EXPECT_FALSE(f.crashed);
  EXPECT_EQ(f.code, 0) << f.err.toStdString();
  const QStringList lines = f.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_GE(lines.size(), 2);
  EXPECT_TRUE(lines.first().contains(" Watch watching 127.0.0.1:")) << lines.first().toStdString();
  EXPECT_TRUE(lines.last().endsWith(" Watch stopped")) << lines.last().toStdString();
  // Every line carries its time stamp.
  for (const QString& line : lines)
    EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d \\w+ ")
                    .match(line)
                    .hasMatch())
        << line.toStdString();
}

TEST(Program, WatchWritesServerTextInUtf8WithControlsEscaped) {
  TempDataDir dir;
  dir.writeInstallation();
  FakeGameServer server;
  // A player name holding a C1 control (0x9D, an undefined byte of the code
  // page), an escape and a euro sign (0x80, defined).
  server.setResponder([](const test::FakeDatagram& d) {
    if (d.bytes.find("getstatus") != std::string::npos)
      return test::FakeAnswer::reply(
          makeStatusReply("\\sv_hostname\\Home\\mapname\\dm/mohdm1", {{35, "Ev\x9Dil\x1B\x80"}}));
    return d.bytes.find("rcon secret status") != std::string::npos
               ? test::FakeAnswer::reply(makePrintReply(
                     "\nmap: dm/mohdm1\nnum score ping name            lastmsg address\n"
                     "  0 3   35 Ev\x9Dil\x1B\x80      0 127.0.0.1:12203  1234 25000\n"))
               : test::FakeAnswer::silence();
  });
  QProcess p;
  startWatch(p, server, "secret", dir);
  QByteArray out;
  for (int i = 0; i < 100 && !out.contains("Ev"); ++i) {
    p.waitForReadyRead(100);
    out += p.readAllStandardOutput();
  }
  p.terminate();
  finish(p, 10000);
  EXPECT_TRUE(out.contains("Ev\\x9Dil\\x1B\xE2\x82\xAC")) << out.toStdString();
  EXPECT_FALSE(out.contains("\xC2\x9D")) << out.toStdString();
}

// A pseudo-terminal to stand for the program's standard input; the test
// types on its master side.
class Terminal {
 public:
  Terminal() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0)
      slave_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY);
  }
  ~Terminal() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
  }
  bool open() const { return slave_ >= 0; }
  void becomeInputOf(QProcess& p) const {
    p.setChildProcessModifier([fd = slave_] { ::dup2(fd, STDIN_FILENO); });
  }
  bool echoes() const {
    termios t{};
    return ::tcgetattr(slave_, &t) == 0 && (t.c_lflag & ECHO);
  }
  // Waits up to ten seconds for the echo to be switched on or off.
  bool waitForEcho(bool on) const {
    for (int i = 0; i < 1000; ++i) {
      if (echoes() == on) return true;
      ::usleep(10000);
    }
    return false;
  }
  void type(const std::string& text) const {
    ASSERT_EQ(::write(master_, text.data(), text.size()), ssize_t(text.size()));
  }
  // What the terminal shows now, after up to 200 ms of quiet.
  std::string shown() const {
    std::string text;
    pollfd fd{master_, POLLIN, 0};
    char buffer[256];
    for (int i = 0; i < 100 && ::poll(&fd, 1, 200) > 0; ++i) {
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      text.append(buffer, std::size_t(n));
    }
    return text;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
};

TEST(Program, WatchTakesThePasswordFromATerminalWithoutEchoingIt) {
  TempDataDir dir;
  dir.writeInstallation();
  FakeGameServer server;
  takePasswordSecret(server);
  Terminal terminal;
  if (!terminal.open()) GTEST_SKIP() << "no pseudo-terminal here";
  QProcess p;
  terminal.becomeInputOf(p);
  startWatch(p, server, "-", dir);
  ASSERT_TRUE(terminal.waitForEcho(false));
  terminal.type("secret\n");
  ASSERT_TRUE(server.waitForCount(1, 10000));
  EXPECT_NE(server.received()[0].bytes.find("rcon secret status"), std::string::npos);
  EXPECT_EQ(terminal.shown().find("secret"), std::string::npos);
  EXPECT_TRUE(terminal.echoes());
  p.terminate();
  const Finished f = finish(p, 10000);
  EXPECT_EQ(f.code, 0) << f.err.toStdString();
}

TEST(Program, WatchStopsAtOnceWhileWaitingForThePassword) {
  TempDataDir dir;
  dir.writeInstallation();
  FakeGameServer server;
  for (int signal : {SIGTERM, SIGINT}) {
    Terminal terminal;
    if (!terminal.open()) GTEST_SKIP() << "no pseudo-terminal here";
    QProcess p;
    terminal.becomeInputOf(p);
    startWatch(p, server, "-", dir);
    // Echo off: the signals are caught and the password is awaited.
    ASSERT_TRUE(terminal.waitForEcho(false)) << signal;
    ::kill(static_cast<pid_t>(p.processId()), signal);
    const Finished f = finish(p, 5000);
    EXPECT_FALSE(f.crashed) << signal;
    EXPECT_EQ(f.code, 0) << signal;
    EXPECT_TRUE(terminal.echoes()) << signal;
  }
  EXPECT_EQ(server.receivedCount(), 0u);
}

}  // namespace
}  // namespace tarvix
