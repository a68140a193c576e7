// What each caller's user is told when a query gave no answer.
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
