#include "online/update_version.h"

#include <gtest/gtest.h>

#include <string>

using namespace velmira::online;

TEST(UpdateVersion, LeadingNumberFollowsAtoi) {
  EXPECT_EQ(ParseLeadingInt("368"), 368);
  EXPECT_EQ(ParseLeadingInt(" \t\r\n+369 and more"), 369);
  EXPECT_EQ(ParseLeadingInt("-5"), -5);
  EXPECT_EQ(ParseLeadingInt("370.1"), 370);
  // Text that does not start with a number is version 0, as atoi says.
  EXPECT_EQ(ParseLeadingInt("<html>369</html>"), 0);
  EXPECT_EQ(ParseLeadingInt(""), 0);
  EXPECT_EQ(ParseLeadingInt("+"), 0);
  EXPECT_EQ(ParseLeadingInt(std::string("\0" "369", 4)), 0);
  EXPECT_EQ(ParseLeadingInt(std::string("36\0" "9", 4)), 36);
  EXPECT_EQ(ParseLeadingInt("2147483647"), 2147483647);
  EXPECT_EQ(ParseLeadingInt("-2147483648"), -2147483647 - 1);
  // Where atoi is undefined, nothing is read.
  EXPECT_FALSE(ParseLeadingInt("2147483648"));
  EXPECT_FALSE(ParseLeadingInt(std::string(5000, '9')));
}

TEST(UpdateVersion, OnlineVersionReadsOnlyTheFirstBlock) {
  EXPECT_EQ(OnlineVersion("369\n"), 36900);
  EXPECT_EQ(OnlineVersion("368"), 36800);
  EXPECT_EQ(OnlineVersion("369" + std::string(100 * 1024, 'x')), 36900);
  // A number that starts only after the first 4096 bytes is never seen.
  EXPECT_EQ(OnlineVersion(std::string(kUpdateReadLimit, ' ') + "369"), 0);
  // A number cut by the limit counts with the digits inside it.
  EXPECT_EQ(OnlineVersion(std::string(kUpdateReadLimit - 2, ' ') + "369"), 3600);
  // Too large once multiplied: not a version.
  EXPECT_FALSE(OnlineVersion("21474837"));
  EXPECT_EQ(OnlineVersion("21474836"), 2147483600);
}

TEST(UpdateVersion, OnlyAStrictlyHigherVersionIsNews) {
  EXPECT_FALSE(IsNewer(kOwnVersion, OnlineVersion("368")));
  EXPECT_TRUE(IsNewer(kOwnVersion, OnlineVersion("369")));
  EXPECT_FALSE(IsNewer(kOwnVersion, OnlineVersion("367")));
  EXPECT_FALSE(IsNewer(kOwnVersion, OnlineVersion("not a number")));
  EXPECT_FALSE(IsNewer(kOwnVersion, OnlineVersion("-400")));
  EXPECT_FALSE(IsNewer(kOwnVersion, OnlineVersion("99999999999")));
}

TEST(UpdateVersion, VersionTextHasTwoDecimals) {
  EXPECT_EQ(NewVersionText(36900), " 신버전  3.69");
  EXPECT_EQ(NewVersionText(40000), " 신버전  4.00");
  // 3.09 must not read as 3.9.
  EXPECT_EQ(NewVersionText(30900), " 신버전  3.09");
  EXPECT_EQ(NewVersionText(123400), " 신버전  12.34");
}

TEST(UpdateVersion, AddressComesFromEnvironmentThenSetting) {
  EXPECT_EQ(UpdateFileUrl(nullptr, ""), "");
  EXPECT_EQ(UpdateFileUrl("", "  "), "");
  EXPECT_EQ(UpdateFileUrl(nullptr, "http://example.org/velmira/"), "http://example.org/velmira/velmira_update.txt");
  EXPECT_EQ(UpdateFileUrl(nullptr, " http://example.org/velmira \n"), "http://example.org/velmira/velmira_update.txt");
  EXPECT_EQ(UpdateFileUrl("http://127.0.0.1:8080", "http://example.org/"), "http://127.0.0.1:8080/velmira_update.txt");
  EXPECT_EQ(UpdateFileUrl("", "http://example.org/"), "http://example.org/velmira_update.txt");
}
