#include "framework/wx/file_filter.h"

#include <gtest/gtest.h>

using afx::PathWithDefaultExtension;
using afx::WildcardFromFilter;

TEST(SaveDialogFilter, WindowsFilterBecomesWxWildcard) {
  EXPECT_EQ(WildcardFromFilter(L"PDF Document (*.pdf)|*.pdf||"), L"PDF Document (*.pdf)|*.pdf");
  EXPECT_EQ(WildcardFromFilter(L"PDF (*.pdf)|*.pdf|All files (*.*)|*.*||"),
            L"PDF (*.pdf)|*.pdf|All files (*.*)|*.*");
  EXPECT_EQ(WildcardFromFilter(L""), L"*");
  EXPECT_EQ(WildcardFromFilter(L"||"), L"*");
}

TEST(SaveDialogFilter, DefaultExtensionOnlyForNamesWithoutOne) {
  EXPECT_EQ(PathWithDefaultExtension(L"/home/u/manual", L"pdf"), L"/home/u/manual.pdf");
  EXPECT_EQ(PathWithDefaultExtension(L"/home/u/manual", L".pdf"), L"/home/u/manual.pdf");
  EXPECT_EQ(PathWithDefaultExtension(L"/home/u/manual.PDF", L"pdf"), L"/home/u/manual.PDF");
  // A dot in a folder name is not the file's extension.
  EXPECT_EQ(PathWithDefaultExtension(L"/home/u.v/manual", L"pdf"), L"/home/u.v/manual.pdf");
  EXPECT_EQ(PathWithDefaultExtension(L"/home/u/manual", L""), L"/home/u/manual");
}
