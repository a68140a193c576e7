// What each caller's user is told when a query gave no answer, or one it
// cannot go on with.
#include "query/query_failure.h"

#include <gtest/gtest.h>

#include "tests/support/recording_reporter.h"

using testing_support::CRecordingReporter;

TEST(QueryFailure, EachResultGivesItsMessageAsAStepOrABoxAlone) {
  struct Case {
    QueryResult result;
    bool replyLimited;
    const wchar_t* box;
  } cases[] = {
      {QueryResult::kNoConnection, false, L"MessageBox[none]: Cannot connect to server"},
      {QueryResult::kTooShort, false, L"MessageBox[none]: Invalid Response from server"},
      // Over a reply limit no answer of ours; without one, no memory for it.
      {QueryResult::kTooLong, true, L"MessageBox[exclamation]: Invalid Response from server"},
      {QueryResult::kTooLong, false, L"MessageBox[none]: Cannot connect to server"},
  };
  for (const Case& c : cases) {
    CHttpSession session;
    if (c.replyLimited) session.SetReplyLimit(100);
    CRecordingReporter step, box;
    EXPECT_FALSE(CheckQueryAnswered(c.result, session, step, QueryFailureShown::kFailedStep));
    EXPECT_FALSE(CheckQueryAnswered(c.result, session, box, QueryFailureShown::kBoxOnly));
    EXPECT_EQ(step.output, std::vector<std::wstring>{c.box}) << c.box;
    EXPECT_EQ(box.output, step.output);
    EXPECT_EQ(step.log.rfind(L" Error", 0), 0u) << step.log;
    EXPECT_EQ(box.log, L"");
  }
  CHttpSession session;
  CRecordingReporter reporter;
  EXPECT_TRUE(CheckQueryAnswered(QueryResult::kAnswered, session, reporter, QueryFailureShown::kFailedStep));
  EXPECT_TRUE(reporter.output.empty());
  EXPECT_EQ(reporter.log, L"");
}

TEST(QueryFailure, EachUnusableAnswerGivesItsMessage) {
  struct Case {
    UpdateAnswer answer;
    const wchar_t* box;
    const wchar_t* stepLog;  // before the box's own line, as a failed step
  } cases[] = {
      {UpdateAnswer::kClientUpdate, L"MessageBox[none]: An application update is needed. Please click on \"Update\" button first", L""},
      {UpdateAnswer::kBadClientUpdate, L"MessageBox[none]: Invalid Response from server", L""},
      {UpdateAnswer::kIncorrectLogin, L"MessageBox[none]: Incorrect serial number or password", L""},
      {UpdateAnswer::kNotRegistered,
       L"MessageBox[exclamation]: This tool's owner is not registered yet.\\r\\n"
       L"Press \"Change user info\" to register, then update again.", L""},
      {UpdateAnswer::kUnknown, L"MessageBox[exclamation]: Invalid Response from server", L" Error\r\n\r\n"},
  };
  for (const Case& c : cases) {
    CRecordingReporter step, box;
    TellUnusableAnswer(c.answer, step, QueryFailureShown::kFailedStep);
    TellUnusableAnswer(c.answer, box, QueryFailureShown::kBoxOnly);
    EXPECT_EQ(step.output, std::vector<std::wstring>{c.box});
    EXPECT_EQ(box.output, step.output);
    EXPECT_EQ(step.log, c.stepLog) << c.box;
    EXPECT_EQ(box.log, L"");
  }
}
