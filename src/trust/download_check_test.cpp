#include "trust/download_check.h"

#include <gtest/gtest.h>

TEST(IsWebPageText, PagesInAnyLetterCaseAfterBlanks) {
  for (const char* page : {"<!DOCTYPE html>", "<html>", "  \r\n\t<!doctype HTML PUBLIC",
                           "\n<HtMl lang=en>", "\xef\xbb\xbf<html>"}) {
    EXPECT_TRUE(IsWebPageText(page)) << page;
  }
  for (const char* image : {"", "   ", "<htm", "x<html>", "<!DOCTYPE svg>", "CD001<html>"}) {
    EXPECT_FALSE(IsWebPageText(image)) << image;
  }
}
