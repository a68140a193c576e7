#include "tests/support/exfat_card.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

#include "tests/support/process.h"
#include "tests/support/temp_card.h"

namespace fs = std::filesystem;

namespace testing_support {
namespace {
using Clock = std::chrono::steady_clock;
constexpr const char* kDaemon = "mount.exfat-fuse";

// The full path of a program on PATH or in the system folders, or "".
std::string Tool(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream folders(std::string(path ? path : "") + ":/usr/sbin:/sbin:/usr/bin:/bin");
  for (std::string folder; std::getline(folders, folder, ':');) {
    const std::string candidate = folder + "/" + name;
    if (!folder.empty() && access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

// FUSE 2 (which exfat-fuse depends on) brings fusermount, FUSE 3 only
// fusermount3; either unmounts the card.
std::string Fusermount() {
  const std::string fuse2 = Tool("fusermount");
  return fuse2.empty() ? Tool("fusermount3") : fuse2;
}

ProcessResult RunTool(const std::string& program, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), program);
  return RunProcess(arguments, "", "", {}, 60);
}

// "" when the tool ended with 0, else what it said.
std::string Failure(const std::string& what, const ProcessResult& result) {
  if (result.exitCode == 0) return "";
  return what + " ended with " + std::to_string(result.exitCode) + ": " + result.out + result.err;
}

FsckReport Fsck(const std::string& mode, const std::string& target) {
  const ProcessResult result = RunTool(Tool("fsck.exfat"), {mode, target});
  return {result.exitCode, result.out + result.err};
}

// The state letter of each thread of a process ("" once it is gone).
std::string ThreadStates(pid_t pid) {
  std::string states;
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  std::error_code error;
  for (const auto& task : fs::directory_iterator(tasks, error)) {
    const std::string stat = ReadFile(task.path().string() + "/stat");
    const size_t end = stat.rfind(')');  // the name in parentheses may hold anything
    if (end != std::string::npos && end + 2 < stat.size()) states += stat[end + 2];
  }
  return states;
}

bool Gone(pid_t pid) { return ThreadStates(pid).find_first_not_of("ZX") == std::string::npos; }

bool AllStopped(pid_t pid) {
  const std::string states = ThreadStates(pid);
  return !states.empty() && states.find_first_not_of("tT") == std::string::npos;
}

bool WaitFor(bool (*condition)(pid_t), pid_t pid) {
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (!condition(pid)) {
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// The daemon that serves device on root: its command line names both.
pid_t FindDaemon(const std::string& device, const std::string& root) {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::vector<std::string> argv;
    std::stringstream cmdline(ReadFile(entry.path().string() + "/cmdline"));
    for (std::string argument; std::getline(cmdline, argument, '\0');) argv.push_back(argument);
    if (argv.size() < 3 || fs::path(argv[0]).filename() != kDaemon) continue;
    if (argv[argv.size() - 2] == device && argv.back() == root) return std::atoi(name.c_str());
  }
  return -1;
}
}  // namespace

std::string WhyNoExfatCards() {
  if (geteuid() != 0) return "needs root to attach loop devices and mount FUSE";
  if (!fs::exists("/dev/loop-control")) return "no loop devices here (no /dev/loop-control)";
  const int fuse = open("/dev/fuse", O_RDWR | O_CLOEXEC);
  if (fuse < 0) return std::string("no FUSE here: /dev/fuse: ") + std::strerror(errno);
  close(fuse);
  for (const char* tool : {"truncate", "losetup", "mkfs.exfat", "fsck.exfat", kDaemon})
    if (Tool(tool).empty()) return std::string(tool) + " is not installed (packages exfatprogs, exfat-fuse)";
  if (Fusermount().empty()) return "fusermount is not installed (package fuse)";
  const std::string noLoop = Failure("losetup -f", RunTool(Tool("losetup"), {"-f"}));
  if (!noLoop.empty()) return "no free loop device: " + noLoop;
  return "";
}

bool FsckReport::Clean() const { return status == 0 && text.find(": clean.") != std::string::npos; }

std::string FormatExfatImage(const std::string& image, int sizeMiB) {
  const std::string made =
      Failure("truncate", RunTool(Tool("truncate"), {"-s", std::to_string(sizeMiB) + "M", image}));
  if (!made.empty()) return made;
  return Failure("mkfs.exfat", RunTool(Tool("mkfs.exfat"), {"-L", "KORAL70", image}));
}

FsckReport CheckExfatImage(const std::string& image) { return Fsck("-n", image); }
FsckReport RepairExfatImage(const std::string& image) { return Fsck("-y", image); }

ExfatCard::ExfatCard(const std::string& image) : m_image(image), m_root(image + ".root") {
  std::error_code error;
  if (!fs::create_directory(m_root, error)) {
    m_problem = "cannot make the mount point " + m_root + ": " + error.message();
    m_root.clear();
    return;
  }
  const ProcessResult attached = RunTool(Tool("losetup"), {"-f", "--show", image});
  m_problem = Failure("losetup -f --show", attached);
  if (!m_problem.empty()) return;
  m_device = attached.out.substr(0, attached.out.find('\n'));
  m_problem = Failure(kDaemon, RunTool(Tool(kDaemon), {m_device, m_root}));
  if (!m_problem.empty()) return;
  m_mounted = true;
  m_daemon = FindDaemon(m_device, m_root);
  if (m_daemon < 0) m_problem = std::string("no ") + kDaemon + " process serves " + m_root;
}

ExfatCard::~ExfatCard() {
  if (!m_ejected) Eject();
}

bool ExfatCard::Freeze() {
  if (m_daemon < 0 || kill(m_daemon, SIGSTOP) != 0) return false;
  m_frozen = true;
  return WaitFor(AllStopped, m_daemon);
}

void ExfatCard::Thaw() {
  if (m_frozen) kill(m_daemon, SIGCONT);
  m_frozen = false;
}

FsckReport ExfatCard::Eject() {
  m_ejected = true;
  Thaw();
  std::string trouble = m_problem;
  if (m_mounted) {
    // A process that has just ended may still hold the card for a moment.
    std::string unmounted;
    for (int attempt = 0; attempt < 50; ++attempt) {
      unmounted = Failure("fusermount -u", RunTool(Fusermount(), {"-u", m_root}));
      if (unmounted.empty()) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!unmounted.empty()) {
      RunTool(Fusermount(), {"-u", "-z", m_root});  // detached at last, so the device can go
      trouble += unmounted;
    }
    // The daemon writes what it holds and lets go of the device as it ends.
    if (m_daemon > 0 && !WaitFor(Gone, m_daemon)) trouble += std::string(kDaemon) + " did not end";
  }
  FsckReport report{-1, trouble};
  if (!m_device.empty()) {
    if (trouble.empty()) report = Fsck("-n", m_device);
    RunTool(Tool("losetup"), {"-d", m_device});
  }
  if (!m_root.empty()) {
    std::error_code ignored;
    fs::remove(m_root, ignored);
  }
  return report;
}

}  // namespace testing_support
