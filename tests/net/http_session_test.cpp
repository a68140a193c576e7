// CHttpSession over real HTTP to a loopback server that echoes what it got.
#include "net/http_session.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <chrono>
#include <string>
#include <thread>

#include "tests/net/loopback_server.h"
#include "tests/support/environment.h"

namespace {

using testing_support::LoopbackServer;

std::string Body(const CHttpSession& session) { return std::string(session.BodyText()); }

CString Wide(const std::string& text) { return CString(std::wstring(text.begin(), text.end())); }

class HttpSessionTest : public testing::Test {
 protected:
  void SetUp() override {
    // Loopback requests must not be sent to a proxy named by the environment.
    unsetenv("http_proxy");
    unsetenv("HTTP_PROXY");
    httplib::Server& server = m_server.Server();
    server.Get("/echo", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content(Echo(req), "text/plain");
    });
    server.Post("/echo", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content(Echo(req), "text/plain");
    });
    server.Get("/setcookie", [](const httplib::Request& req, httplib::Response& res) {
      res.set_header("Set-Cookie", "KORALSESSION=" + req.get_param_value("v") + "; Path=/");
      res.set_content("set", "text/plain");
    });
    server.Get("/empty", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("", "text/plain");
    });
    server.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
      res.status = 404;
      res.set_content("<html>not here</html>", "text/html");
    });
    server.Get("/moved", [](const httplib::Request&, httplib::Response& res) {
      res.set_redirect("/echo");
      res.set_content("<html>moved</html>", "text/html");
    });
    server.Get("/bytes", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content(std::string(std::stoul(req.get_param_value("n")), 'x'), "text/plain");
    });
    server.Get("/chunked", [](const httplib::Request& req, httplib::Response& res) {
      const size_t n = std::stoul(req.get_param_value("n"));
      res.set_chunked_content_provider("text/plain", [n](size_t offset, httplib::DataSink& sink) {
        if (offset >= n) {
          sink.done();
          return true;
        }
        const std::string chunk(std::min<size_t>(1000, n - offset), 'y');
        return sink.write(chunk.data(), chunk.size());
      });
    });
    // A body of 1000 bytes at 2 bytes a second.
    server.Get("/trickle", [](const httplib::Request&, httplib::Response& res) {
      res.set_content_provider(1000, "text/plain", [](size_t, size_t, httplib::DataSink& sink) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        return sink.write("t", 1);
      });
    });
    ASSERT_TRUE(m_server.Start());
  }

  static std::string Echo(const httplib::Request& req) {
    std::string text = "method=" + req.method + "\nua=" + req.get_header_value("User-Agent") +
                       "\ncookie=" + req.get_header_value("Cookie");
    if (req.is_multipart_form_data()) {
      for (const auto& [name, part] : req.files)
        text += "\npart " + name + "=" + part.content + " file=" + part.filename;
    } else {
      text += "\nbody=" + req.body;
    }
    return text;
  }

  CString Url(const std::string& path) const { return Wide(m_server.BaseUrl() + path); }

  LoopbackServer m_server;
};

TEST_F(HttpSessionTest, PostFieldsJoinWithOneAmpersandAndGoOutAsUtf8) {
  CHttpSession session;
  session.AddPostField(L"serial=K7");
  EXPECT_EQ(session.GetPostFields(), L"serial=K7");
  session.AddPostField(L"pwd=p\u00e9&x");  // taken as it stands, no escaping
  EXPECT_EQ(session.GetPostFields(), L"serial=K7&pwd=p\u00e9&x");
  session.SetUrl(Url("/echo"));
  ASSERT_EQ(session.Perform(), HttpResult::kOk);
  EXPECT_NE(Body(session).find("method=POST"), std::string::npos);
  EXPECT_NE(Body(session).find("body=serial=K7&pwd=p\xc3\xa9&x"), std::string::npos);
}

TEST_F(HttpSessionTest, HexFieldsUseUpperCaseDigitsPerByte) {
  CHttpSession session;
  const unsigned char abc[] = {'a', 'b', 'c', 0};
  session.AddHexPostField(abc, L"name", 4);
  EXPECT_EQ(session.GetPostFields(), L"name=61626300");
  const unsigned char high[] = {0xAB, 0x0F};
  session.AddHexPostField(high, L"fax", 0);
  session.AddHexPostField(high, L"zip", 2);
  EXPECT_EQ(session.GetPostFields(), L"name=61626300&fax=&zip=AB0F");
}

TEST_F(HttpSessionTest, SendsTheUserAgentAndKeepsTheBodyZeroTerminated) {
  CHttpSession session;
  session.SetUrl(Url("/echo"));
  ASSERT_EQ(session.Perform(), HttpResult::kOk);
  EXPECT_NE(Body(session).find("method=GET\nua=qxm-updater/1.0\n"), std::string::npos);
  EXPECT_EQ(session.Body().data()[session.Body().size()], 0);
}

TEST_F(HttpSessionTest, EmptyReplyLeavesNoBody) {
  CHttpSession session;
  session.SetUrl(Url("/echo"));
  ASSERT_EQ(session.Perform(), HttpResult::kOk);
  ASSERT_FALSE(session.Body().empty());
  session.SetUrl(Url("/empty"));
  ASSERT_EQ(session.Perform(), HttpResult::kOk);
  EXPECT_TRUE(session.Body().empty());
  EXPECT_EQ(session.Body().data(), nullptr);
}

TEST_F(HttpSessionTest, ErrorStatusOrRedirectIsACompletedTransferButNoSuccess) {
  CHttpSession session;
  session.SetUrl(Url("/missing"));
  ASSERT_EQ(session.Perform(), HttpResult::kOk);
  long status = 0;
  ASSERT_TRUE(session.GetStatusCode(status));
  EXPECT_EQ(status, 404);
  EXPECT_FALSE(session.Succeeded());
  EXPECT_EQ(Body(session), "<html>not here</html>");
  // A redirect is not followed, and is no success either.
  session.SetUrl(Url("/moved"));
  ASSERT_EQ(session.Perform(), HttpResult::kOk);
  ASSERT_TRUE(session.GetStatusCode(status));
  EXPECT_EQ(status, 302);
  EXPECT_FALSE(session.Succeeded());
  EXPECT_EQ(Body(session), "<html>moved</html>");
}

TEST_F(HttpSessionTest, OnceAUrlFormBodyWasSentItIsSentAgain) {
  CHttpSession session;
  session.SetUrl(Url("/echo"));
  session.AddPostField(L"f=1");
  ASSERT_EQ(session.Perform(), HttpResult::kOk);
  ASSERT_EQ(session.Perform(), HttpResult::kOk);  // no ClearPostFields: the same body
  EXPECT_NE(Body(session).find("method=POST"), std::string::npos);
  EXPECT_NE(Body(session).find("body=f=1"), std::string::npos);
  session.ClearPostFields();
  ASSERT_EQ(session.Perform(), HttpResult::kOk);  // still the old buffer, still a POST
  EXPECT_NE(Body(session).find("method=POST"), std::string::npos);
  EXPECT_NE(Body(session).find("body=f=1"), std::string::npos);
}

TEST_F(HttpSessionTest, CookiesStayWithinTheirSession) {
  CHttpSession first;
  CHttpSession second;
  first.SetUrl(Url("/setcookie?v=abc"));
  ASSERT_EQ(first.Perform(), HttpResult::kOk);
  first.SetUrl(Url("/echo"));
  ASSERT_EQ(first.Perform(), HttpResult::kOk);
  EXPECT_NE(Body(first).find("cookie=KORALSESSION=abc"), std::string::npos);
  second.SetUrl(Url("/echo"));
  ASSERT_EQ(second.Perform(), HttpResult::kOk);
  EXPECT_NE(Body(second).find("cookie=\n"), std::string::npos);
}

TEST_F(HttpSessionTest, MultipartFormGoesToTheUploadSessionAndIsFreedAfterTheTransfer) {
  CHttpSession session;
  g_pUploadSession = &session;
  EXPECT_TRUE(CHttpSession::AddFormPart("name", FormPart::kText, "logs/a.txt"));
  ASSERT_TRUE(session.HasForm());
  session.SetUrl(Url("/echo"));
  ASSERT_EQ(session.Perform(), HttpResult::kOk);
  g_pUploadSession = nullptr;
  EXPECT_FALSE(session.HasForm());
  EXPECT_NE(Body(session).find("part name=logs/a.txt"), std::string::npos);
  EXPECT_FALSE(CHttpSession::AddFormPart("name", FormPart::kText, "x"));  // no upload session
}

TEST_F(HttpSessionTest, UrlsAndBodiesBeyondTheirBuffersAreRefused) {
  CHttpSession session;
  const std::string base = m_server.BaseUrl() + "/echo?p=";
  session.SetUrl(Wide(base + std::string(499 - base.size(), 'u')));
  ASSERT_EQ(session.Perform(), HttpResult::kOk);
  EXPECT_NE(Body(session).find("method=GET"), std::string::npos);

  session.SetUrl(Wide(base + std::string(500 - base.size(), 'u')));
  EXPECT_EQ(session.Perform(), HttpResult::kRefused);
  EXPECT_TRUE(session.Body().empty());
  session.SetUrlA((base + std::string(500 - base.size(), 'u')).c_str());
  EXPECT_EQ(session.Perform(), HttpResult::kRefused);

  session.SetUrlA((base + "ok").c_str());
  session.AddPostField(CString(std::wstring(8191, L'b')));
  ASSERT_EQ(session.Perform(), HttpResult::kOk);
  EXPECT_NE(Body(session).find("body=" + std::string(8191, 'b')), std::string::npos);
  session.ClearPostFields();
  session.AddPostField(CString(std::wstring(8190, L'b')) + L"\u00e9");  // 8192 UTF-8 bytes
  EXPECT_EQ(session.Perform(), HttpResult::kRefused);
}

TEST_F(HttpSessionTest, ReplyBeyondItsLimitFailsTheTransfer) {
  CHttpSession session;
  session.SetReplyLimit(4000);
  session.SetUrl(Url("/bytes?n=4000"));
  ASSERT_EQ(session.Perform(), HttpResult::kOk);
  EXPECT_EQ(session.Body().size(), 4000u);
  session.SetUrl(Url("/bytes?n=4001"));  // announced: refused at once
  EXPECT_EQ(session.Perform(), HttpResult::kTooLarge);
  session.SetUrl(Url("/chunked?n=9000"));  // unannounced: cut off while it arrives
  EXPECT_EQ(session.Perform(), HttpResult::kTooLarge);
  EXPECT_LE(session.Body().size(), 4000u);
}

// A body sink takes the reply as it arrives; the session keeps none of it,
// yet counts it, and still enforces the reply limit.
TEST_F(HttpSessionTest, BodySinkGetsTheReplyChunkByChunkWithinTheLimit) {
  struct Collect : CHttpBodySink {
    bool Write(const unsigned char* data, size_t size) override {
      bytes.append(reinterpret_cast<const char*>(data), size);
      ++chunks;
      return true;
    }
    std::string bytes;
    int chunks = 0;
  } sink;
  CHttpSession session;
  session.SetBodySink(&sink);
  session.SetUrl(Url("/chunked?n=9000"));
  ASSERT_EQ(session.Perform(), HttpResult::kOk);
  EXPECT_EQ(sink.bytes, std::string(9000, 'y'));
  EXPECT_GT(sink.chunks, 1);
  EXPECT_TRUE(session.Body().empty());
  EXPECT_EQ(session.ReceivedBytes(), 9000u);
  EXPECT_TRUE(session.Succeeded());

  // Unannounced and over the limit: cut off while it arrives, and the sink
  // never got more than the limit.
  sink.bytes.clear();
  session.SetReplyLimit(4000);
  ASSERT_EQ(session.Perform(), HttpResult::kTooLarge);
  EXPECT_LE(sink.bytes.size(), 4000u);
  EXPECT_FALSE(session.Succeeded());

  // A sink that refuses a chunk ends the transfer.
  struct Refuse : CHttpBodySink {
    bool Write(const unsigned char*, size_t) override { return false; }
  } refuse;
  session.SetReplyLimit(0);
  session.SetBodySink(&refuse);
  EXPECT_EQ(session.Perform(), HttpResult::kSinkFailed);
}

TEST_F(HttpSessionTest, ProgressCallbackSeesTheTransferWithItsUserPointer) {
  struct Seen {
    double total = 0;
    double now = 0;
  } seen;
  CHttpSession session;
  session.SetProgressCallback(
      [](void* user, double dltotal, double dlnow, double, double) {
        auto* s = static_cast<Seen*>(user);
        s->total = std::max(s->total, dltotal);
        s->now = std::max(s->now, dlnow);
        return 0;
      },
      &seen);
  session.SetUrl(Url("/bytes?n=50000"));
  ASSERT_EQ(session.Perform(), HttpResult::kOk);
  EXPECT_EQ(seen.total, 50000);
  EXPECT_EQ(seen.now, 50000);
  // A non-zero answer ends the transfer: the job was asked to stop.
  session.SetProgressCallback([](void*, double, double, double, double) { return 1; }, nullptr);
  EXPECT_EQ(session.Perform(), HttpResult::kCancelled);
}

// The proxy is given to libcurl only when its UTF-8 form has at most 1022
// bytes: a proxy on loopback tells which requests went through it.
TEST_F(HttpSessionTest, ProxyOfMoreThan1022BytesIsIgnored) {
  unsetenv("no_proxy");
  unsetenv("NO_PROXY");
  LoopbackServer proxy;
  proxy.Server().Get(".*", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("via proxy", "text/plain");
  });
  ASSERT_TRUE(proxy.Start());
  // A user name pads the proxy address to the length under test.
  const std::string host = "@127.0.0.1:" + std::to_string(proxy.Port());
  auto proxyOfLength = [&](size_t length) {
    return Wide("http://" + std::string(length - 7 - host.size(), 'p') + host);
  };

  CHttpSession used;
  used.SetProxy(proxyOfLength(1022));
  used.SetUrl(Url("/echo"));
  ASSERT_EQ(used.Perform(), HttpResult::kOk);
  EXPECT_EQ(Body(used), "via proxy");

  CHttpSession ignored;
  ignored.SetProxy(proxyOfLength(1023));
  ignored.SetProxy(L"");
  ignored.SetUrl(Url("/echo"));
  ASSERT_EQ(ignored.Perform(), HttpResult::kOk);
  EXPECT_NE(Body(ignored).find("method=GET"), std::string::npos);
}

}  // namespace

// At 2 bytes a second a transfer never stalls, yet it would take ages: the
// guard ends it as a failed transfer once the window is over (here 2 s
// instead of 60 s).
TEST_F(HttpSessionTest, TricklingReplyFailsAfterTheLowSpeedWindow) {
  SetLowSpeedWindowForTesting(2);
  CHttpSession session;
  SetLowSpeedWindowForTesting(60);
  session.SetUrl(Url("/trickle"));
  // Without the guard the transfer would take 500 s.
  EXPECT_EQ(session.Perform(), HttpResult::kTimedOut);
}
