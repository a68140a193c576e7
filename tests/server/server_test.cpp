// The reference server answers byte-exactly what the client relies on.
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "tests/support/process.h"
#include "tests/support/temp_card.h"

using testing_support::ServerProcess;
using testing_support::TempCard;

namespace {

constexpr const char* kLogin = "serial=SN1&pwd=pw1&clientversion=340";

// Connections that send nothing, or (once trickling) a request's headers a
// byte a second: each holds a worker of the server while it lasts.
class LoadConnections {
 public:
  LoadConnections(int port, int count) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int i = 0; i < count; ++i) {
      const int fd = socket(AF_INET, SOCK_STREAM, 0);
      EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
      m_sockets.push_back(fd);
    }
  }
  ~LoadConnections() {
    m_stop = true;
    if (m_trickle.joinable()) m_trickle.join();
    for (int fd : m_sockets) close(fd);
  }

  void Trickle() {
    m_trickle = std::thread([this] {
      const std::string request = "POST /script/update.php HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: ";
      for (size_t sent = 0; !m_stop; ++sent) {
        for (int fd : m_sockets) send(fd, &request[std::min(sent, request.size() - 1)], 1, MSG_NOSIGNAL);
        for (int tick = 0; tick < 20 && !m_stop; ++tick) std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
    });
  }

 private:
  std::vector<int> m_sockets;
  std::atomic<bool> m_stop{false};
  std::thread m_trickle;
};

// Bytes that differ with their offset, to be sent and checked without being held.
void FillPattern(std::uint64_t offset, char* out, size_t size) {
  for (size_t i = 0; i < size; ++i) out[i] = static_cast<char>(((offset + i) * 0x9E3779B97F4A7C15ull) >> 56);
}

// The process's peak resident memory (VmHWM) in KiB; 0 when unknown.
long PeakMemoryKiB(int pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}

// A data folder with a registered card SN1, an unregistered card SN2 and a
// two-file release.
class ServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data.Write("accounts.txt", "# serial password state\nSN1 pw1 L\n\nSN2 pw2 U\n");
    data.Write("release/list.txt", "v1 0 Support\\updater\\koral70.exe\nv2.0 1 Reports\\My table.css\n");
    data.Write("release/files/Support/updater/koral70.exe", "hello");
    data.Write("release/files/Reports/My table.css", std::string(300, 'c'));
  }

  std::unique_ptr<ServerProcess> Start(std::vector<std::string> arguments = {}) {
    arguments.insert(arguments.begin(), {"--data", data.Path()});
    auto server = std::make_unique<ServerProcess>(arguments);
    EXPECT_TRUE(server->Started());
    client = std::make_unique<httplib::Client>("127.0.0.1", server->Port());
    return server;
  }

  httplib::Result Post(const std::string& path, const std::string& body, const std::string& cookie = "") {
    httplib::Headers headers;
    if (!cookie.empty()) headers.emplace("Cookie", cookie);
    return client->Post(path.c_str(), headers, body, "application/x-www-form-urlencoded");
  }

  // Logs in with update.php and returns the session cookie it set.
  std::string Login(const std::string& body = kLogin) {
    auto result = Post("/script/update.php", body);
    if (!result) return "";
    const std::string cookie = result->get_header_value("Set-Cookie");
    return cookie.substr(0, cookie.find(';'));
  }

  // A login and a policy page on a connection of their own must be answered
  // beside the load, within a generous deadline; the time is printed.
  void ExpectAnsweredBeside(const char* load, int port) {
    httplib::Client fresh("127.0.0.1", port);
    fresh.set_connection_timeout(5);
    fresh.set_read_timeout(5);
    const auto start = std::chrono::steady_clock::now();
    auto login = fresh.Post("/script/update.php", kLogin, "application/x-www-form-urlencoded");
    auto page = fresh.Get("/priv-policy/usr-reg/en/");
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    std::printf("login and policy page beside %s: %.1f ms\n", load, took.count());
    ASSERT_TRUE(login && page);
    EXPECT_EQ(login->body[0], 'L');
    EXPECT_EQ(page->status, 200);
  }

  TempCard data;
  std::unique_ptr<httplib::Client> client;
};

TEST_F(ServerTest, ListCarriesEveryEntryByteExactly) {
  auto server = Start();
  auto result = Post("/script/update.php", kLogin);
  ASSERT_TRUE(result);
  const std::string& body = result->body;
  ASSERT_EQ(body.size(), 4u + 2 * 284);
  EXPECT_EQ(body.substr(0, 4), std::string("L\0\0\x02", 4));

  const std::string first = body.substr(4, 284);
  EXPECT_EQ(first.substr(0, 248), "Support\\updater\\koral70.exe" + std::string(248 - 27, '\0'));
  EXPECT_EQ(first.substr(248, 4), std::string("\0\0\0\x05", 4));
  EXPECT_EQ(first.substr(252, 15), "v1" + std::string(13, '\0'));
  EXPECT_EQ(first[267], '\0');
  EXPECT_EQ(first.substr(268), "\x5d\x41\x40\x2a\xbc\x4b\x2a\x76\xb9\x71\x9d\x91\x10\x17\xc5\x92");

  const std::string second = body.substr(4 + 284, 284);
  EXPECT_EQ(second.substr(0, 21), std::string("Reports\\My table.css\0", 21));
  EXPECT_EQ(second.substr(248, 4), std::string("\0\0\x01\x2c", 4));  // 300, big-endian
  EXPECT_EQ(second[267], '\x01');
  EXPECT_EQ(result->get_header_value("Set-Cookie").rfind("KORALSESSION=", 0), 0u);

  // Sizes and digests follow the files as they are now.
  data.Write("release/files/Support/updater/koral70.exe", "");
  auto again = Post("/script/update.php", kLogin);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->body.substr(4 + 248, 4), std::string(4, '\0'));
  EXPECT_EQ(again->body.substr(4 + 268, 16),
            std::string("\xd4\x1d\x8c\xd9\x8f\x00\xb2\x04\xe9\x80\x09\x98\xec\xf8\x42\x7e", 16));
  EXPECT_EQ(data.Read("received/queries.txt"),
            "SN1 notify=0 batch=0 clientversion=340\nSN1 notify=0 batch=0 clientversion=340\n");
}

// The release is kept between requests; every change on disk must still be
// listed and served at once, also one that keeps the size, or the size and
// the modification time, of what it replaces.
TEST_F(ServerTest, ReleaseChangedOnDiskIsListedAndServedFresh) {
  namespace fs = std::filesystem;
  const fs::path exe = data.Path() + "/release/files/Support/updater/koral70.exe";
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
  fs::last_write_time(exe, old);  // old enough to be trusted unchanged
  auto server = Start();
  const std::string cookie = Login();
  const std::string first = Post("/script/update.php", kLogin)->body;
  EXPECT_EQ(Post("/script/update.php", kLogin)->body, first);
  EXPECT_EQ(Post("/script/get.php", "f=0", cookie)->body, "BFhello");

  // Same size, same modification time: only the change time tells.
  data.Write("release/files/Support/updater/koral70.exe", "HELLO");
  fs::last_write_time(exe, old);
  std::string list = Post("/script/update.php", kLogin)->body;
  const std::string helloDigest("\xeb\x61\xee\xad\x90\xe3\xb8\x99\xc6\xbc\xbe\x27\xac\x58\x16\x60", 16);
  EXPECT_EQ(list.substr(4 + 268, 16), helloDigest);
  EXPECT_EQ(Post("/script/get.php", "f=0", cookie)->body, "BFHELLO");

  // Same size, changed just now.
  data.Write("release/files/Reports/My table.css", std::string(300, 'd'));
  list = Post("/script/update.php", kLogin)->body;
  EXPECT_NE(list.substr(4 + 284 + 268, 16), first.substr(4 + 284 + 268, 16));
  EXPECT_EQ(Post("/script/get.php", "f=1", cookie)->body, "BF" + std::string(300, 'd'));

  // A list of the same length naming the entries the other way round.
  data.Write("release/list.txt", "v2.0 1 Reports\\My table.css\nv1 0 Support\\updater\\koral70.exe\n");
  EXPECT_EQ(Post("/script/get.php", "f=0", cookie)->body, "BF" + std::string(300, 'd'));
  list = Post("/script/update.php", kLogin)->body;
  EXPECT_EQ(list.substr(4, 21), std::string("Reports\\My table.css\0", 21));
  EXPECT_EQ(list.substr(4 + 284 + 268, 16), helloDigest);

  // A removed file is listed and served as empty.
  fs::remove(exe);
  list = Post("/script/update.php", kLogin)->body;
  EXPECT_EQ(list.substr(4 + 284 + 248, 4), std::string(4, '\0'));
  EXPECT_EQ(list.substr(4 + 284 + 268, 16),
            std::string("\xd4\x1d\x8c\xd9\x8f\x00\xb2\x04\xe9\x80\x09\x98\xec\xf8\x42\x7e", 16));
  EXPECT_EQ(Post("/script/get.php", "f=1", cookie)->body, "BF");
}

TEST_F(ServerTest, AReleaseNameThatCannotFitIsRefusedAtStartByItsLine) {
  data.Write("release/list.txt", "v1 0 a.txt\n\nv1 0 " + std::string(248, 'n') + "\n");
  const testing_support::ProcessResult refused =
      testing_support::RunProcess({testing_support::ServerBinary(), "--data", data.Path()}, "", ".", {}, 30);
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_NE(refused.err.find("list.txt line 3: a name of 248 bytes, at most 247 fit"), std::string::npos)
      << refused.err;
  data.Write("release/list.txt", "v1 0 " + std::string(247, 'n') + "\n");
  auto server = Start();
  const auto listed = Post("/script/update.php", kLogin);
  ASSERT_TRUE(listed);
  EXPECT_EQ(listed->body[0], 'L');
}

TEST_F(ServerTest, LoginAnswersByAccountAndClientVersion) {
  data.Write("client/min_version.txt", "341\n");
  auto server = Start({"--client-update-once"});
  EXPECT_EQ(Post("/script/update.php", "serial=SN1&pwd=wrong&clientversion=340")->body, "I0");
  EXPECT_EQ(Post("/script/update.php", "serial=SN2&pwd=pw2&clientversion=341")->body, "U0");
  EXPECT_EQ(Post("/script/update.php", kLogin)->body,
            "Client Update: " + server->BaseUrl() + "/client/koral70.exe");
  EXPECT_EQ(Post("/script/update.php", kLogin)->body[0], 'L');  // only once per run
  EXPECT_EQ(Post("/script/manual.php", "serial=SN1&pwd=wrong")->body, "NG");
  EXPECT_EQ(Post("/script/manual.php", "serial=SN1&pwd=pw1")->body,
            "PDF AT: " + server->BaseUrl() + "/docs/manual.pdf");
}

TEST_F(ServerTest, GetFileNeedsTheSessionAndAValidIndex) {
  // A name leading outside is listed as it is, its content read from inside.
  data.Write("release/list.txt", "v1 0 Support\\updater\\koral70.exe\nv2.0 1 Reports\\My table.css\n"
                                 "v3 0 ..\\..\\evil.txt\n");
  data.Write("release/files/evil.txt", "e");
  auto server = Start();
  EXPECT_EQ(Post("/script/get.php", "f=0")->body, "ER");
  const std::string cookie = Login();
  ASSERT_FALSE(cookie.empty());
  EXPECT_EQ(Post("/script/get.php", "f=0", cookie)->body, "BFhello");
  EXPECT_EQ(Post("/script/get.php", "f=1", cookie)->body, "BF" + std::string(300, 'c'));
  EXPECT_EQ(Post("/script/get.php", "f=2", cookie)->body, "BFe");
  EXPECT_EQ(Post("/script/get.php", "f=3", cookie)->body, "ER");
  EXPECT_EQ(Post("/script/get.php", "f=-1", cookie)->body, "OK");
  EXPECT_TRUE(server->WaitForLog("REQ POST /script/get.php f=-1 cookie=" + cookie.substr(13)));
}

TEST_F(ServerTest, FaultSwitchesSpoilMatchingRequests) {
  auto server = Start({"--fault", "/script/get.php:status500:f=1:1"});
  const std::string cookie = Login();
  EXPECT_EQ(Post("/script/get.php", "f=0", cookie)->body, "BFhello");
  auto failed = Post("/script/get.php", "f=1", cookie);
  ASSERT_TRUE(failed);
  EXPECT_EQ(failed->status, 500);
  EXPECT_EQ(Post("/script/get.php", "f=1", cookie)->status, 200);  // the count is used up

  ASSERT_EQ(client->Get("/control/fault?spec=/script/get.php:drop:f=0")->body, "OK");
  auto dropped = Post("/script/get.php", "f=0", cookie);
  EXPECT_FALSE(dropped);
  EXPECT_EQ(Post("/script/get.php", "f=1", cookie)->status, 200);

  ASSERT_EQ(client->Get("/control/fault?spec=/script/get.php:corrupt")->body, "OK");
  EXPECT_EQ(Post("/script/get.php", "f=1", cookie)->body.substr(0, 3), "XFc");
  ASSERT_EQ(client->Get("/control/clear")->body, "OK");
  EXPECT_EQ(Post("/script/get.php", "f=0", cookie)->body, "BFhello");
}

TEST_F(ServerTest, TruncatedAnswerEndsShortOfItsAnnouncedLength) {
  auto server = Start({"--fault", "/script/get.php:truncate"});
  const std::string cookie = Login();
  httplib::Headers headers = {{"Cookie", cookie}};
  auto result = client->Post("/script/get.php", headers, "f=1", "application/x-www-form-urlencoded");
  EXPECT_FALSE(result);
  EXPECT_TRUE(server->WaitForLog("-> 200 302 fault=truncate"));
}

TEST_F(ServerTest, RegistrationIsDecodedAndRegistersTheCard) {
  auto server = Start();
  const std::string form =
      "name=546172C58D00&company=4100&distributor=4200&zip=00&address1=3100&address2=3200"
      "&phone=3300&fax=3400&email=612E6200&lang=en";
  const std::string manualCookie = [&] {
    const std::string c = Post("/script/manual.php", "serial=SN2&pwd=pw2")->get_header_value("Set-Cookie");
    return c.substr(0, c.find(';'));
  }();
  EXPECT_EQ(Post("/script/register.php", form, manualCookie)->body, "Error");  // not an update query

  const std::string cookie = Login("serial=SN2&pwd=pw2&clientversion=340");
  EXPECT_EQ(Post("/script/register.php", form, cookie)->body, " Done");
  EXPECT_EQ(data.Read("received/registrations/SN2.txt"),
            "name=Tar\xC5\x8D\ncompany=A\ndistributor=B\nzip=\naddress1=1\naddress2=2\n"
            "phone=3\nfax=4\nemail=a.b\nlang=en\n");
  EXPECT_EQ(Post("/script/update.php", "serial=SN2&pwd=pw2&clientversion=340")->body[0], 'L');
}

TEST_F(ServerTest, LogsAreStoredPerCardAndAnnouncedFolder) {
  auto server = Start();
  httplib::MultipartFormDataItems parts = {{"file", "log text", "a.log", "application/octet-stream"},
                                           {"name", "a.log", "", ""}};
  EXPECT_EQ(client->Post("/script/logupload.php", parts)->status, 403);

  const std::string cookie = Login();
  const httplib::Headers headers = {{"Cookie", cookie}};
  EXPECT_EQ(Post("/script/logsetdir.php", "dir=2024/05", cookie)->body, "OK");
  EXPECT_EQ(Post("/script/logsetdir.php", "dir=../../outside", cookie)->body, "ER");
  EXPECT_EQ(client->Post("/script/logupload.php", headers, parts)->body, "OK");
  EXPECT_EQ(data.Read("received/logs/SN1/2024/05/a.log"), "log text");
  EXPECT_EQ(data.Read("received/logsetdir.txt"), "SN1 2024/05\n");

  httplib::MultipartFormDataItems escaping = {{"file", "x", "x", ""}, {"name", "../x", "", ""}};
  EXPECT_EQ(client->Post("/script/logupload.php", headers, escaping)->body, "ER");
  EXPECT_TRUE(server->WaitForLog("REQ POST /script/logupload.php file:1(x) name:4"));
  // A refused upload leaves neither its file nor the folder made for it.
  EXPECT_EQ(Post("/script/logsetdir.php", "dir=new/deeper", cookie)->body, "OK");
  EXPECT_EQ(client->Post("/script/logupload.php", headers, escaping)->body, "ER");
  EXPECT_FALSE(std::filesystem::exists(data.Path() + "/received/logs/SN1/new"));
}

TEST_F(ServerTest, AnswersBesideHundredsOfIdleConnections) {
  auto server = Start();
  LoadConnections idle(server->Port(), 300);
  ExpectAnsweredBeside("300 idle connections", server->Port());
}

TEST_F(ServerTest, AnswersBesideClientsTricklingTheirRequests) {
  auto server = Start();
  LoadConnections slow(server->Port(), 50);
  slow.Trickle();
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // a few bytes each
  ExpectAnsweredBeside("50 connections sending a byte a second", server->Port());
}

// A log far larger than the server may hold goes to disk as it arrives: it
// arrives whole, under its name, and the server's memory stays small.
TEST_F(ServerTest, LargeLogUploadGoesToDiskAsItArrives) {
  constexpr std::uint64_t kSize = 200ull << 20;
  auto server = Start();
  const std::string cookie = Login(), boundary = "koral70-large-upload";
  // What the server holds before the upload (a sanitized build holds far
  // more): the upload may add a few blocks to it, never the log.
  const long before = PeakMemoryKiB(server->Pid());
  const std::string head = "--" + boundary + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"big.log\"\r\n\r\n";
  const std::string tail = "\r\n--" + boundary + "\r\nContent-Disposition: form-data; name=\"name\"\r\n\r\nbig.log\r\n--" + boundary + "--\r\n";
  auto body = [&](size_t offset, size_t, httplib::DataSink& sink) {
    if (offset < head.size()) return sink.write(head.data() + offset, head.size() - offset);
    if (offset >= head.size() + kSize) return sink.write(tail.data(), tail.size());
    std::string piece(std::min<std::uint64_t>(1 << 20, head.size() + kSize - offset), '\0');
    FillPattern(offset - head.size(), piece.data(), piece.size());
    return sink.write(piece.data(), piece.size());
  };
  auto result = client->Post("/script/logupload.php", {{"Cookie", cookie}}, head.size() + kSize + tail.size(),
                             body, "multipart/form-data; boundary=" + boundary);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->body, "OK");
  EXPECT_TRUE(server->WaitForLog("REQ POST /script/logupload.php file:" + std::to_string(kSize) + "(big.log) name:7"));

  const std::string folder = data.Path() + "/received/logs/SN1";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);  // no temporary file left
  std::ifstream received(folder + "/big.log", std::ios::binary);
  std::string piece(1 << 20, '\0'), expected(piece.size(), '\0');
  std::uint64_t offset = 0;
  while (received.read(piece.data(), static_cast<std::streamsize>(piece.size())) || received.gcount() > 0) {
    piece.resize(static_cast<size_t>(received.gcount()));
    FillPattern(offset, expected.data(), piece.size());
    ASSERT_EQ(piece, expected.substr(0, piece.size())) << "at " << offset;
    offset += piece.size();
  }
  EXPECT_EQ(offset, kSize);
  const long peak = PeakMemoryKiB(server->Pid());
  std::printf("server's peak memory with a %llu MiB upload: %ld KiB (%ld KiB before it)\n",
              static_cast<unsigned long long>(kSize >> 20), peak, before);
  EXPECT_GT(before, 0);
  EXPECT_LT(peak - before, 32 * 1024);
}

TEST_F(ServerTest, PolicyPagesCarryTheMarkerUnlessSwitchedOff) {
  auto server = Start({"--fault", "/priv-policy/usr-reg/jp/:nomarker", "--fault",
                       "/priv-policy/usr-reg/jp/:nologo"});
  const std::string marker = "content=\"QX user-reg privacy policy\"";
  EXPECT_NE(client->Get("/priv-policy/usr-reg/en/")->body.find(marker), std::string::npos);
  EXPECT_EQ(client->Get("/priv-policy/usr-reg/en/qx-logo/qx-logo_QX_0.6.png")->body.substr(0, 4),
            "\x89PNG");
  EXPECT_EQ(client->Get("/priv-policy/usr-reg/jp/")->body.find(marker), std::string::npos);
  EXPECT_EQ(client->Get("/priv-policy/usr-reg/jp/qx-logo/qx-logo_QX_0.6.png")->status, 404);
}

}  // namespace

// A test that crashes takes the server it started with it: a server left
// running would hold ctest's output pipe open, and the crash would read as a
// time-out.
TEST_F(ServerTest, DiesWithTheTestThatStartedIt) {
  int channel[2];
  ASSERT_EQ(pipe(channel), 0);
  const pid_t test = fork();
  if (test == 0) {
    close(channel[0]);
    ServerProcess server({"--data", data.Path()});
    const int pid = server.Pid();
    (void)!write(channel[1], &pid, sizeof pid);
    raise(SIGKILL);
  }
  close(channel[1]);
  int server = 0;
  const bool told = read(channel[0], &server, sizeof server) == sizeof server;
  close(channel[0]);
  waitpid(test, nullptr, 0);
  ASSERT_TRUE(told && server > 0);
  // Ended, or ended and not yet reaped by its new parent.
  const auto alive = [server] {
    std::ifstream in("/proc/" + std::to_string(server) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t name = stat.rfind(')');
    return name != std::string::npos && stat.compare(name, 3, ") Z") != 0;
  };
  for (int i = 0; i < 500 && alive(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const bool survived = alive();
  if (survived) kill(server, SIGKILL);
  EXPECT_FALSE(survived) << "the server outlived its test";
}
