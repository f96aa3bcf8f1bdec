// Header and footer codes and sections.
#include "print/header_footer.h"

#include <gtest/gtest.h>

#include "base/calendar.h"
#include "display/format.h"

namespace tabulon {
namespace {

HeaderValues Values(int page) {
  HeaderValues v;
  v.page = page;
  v.date = "05-Mar-24";
  v.time = "02:30:00 PM";
  v.fileName = "BUDGET.WKS";
  return v;
}

TEST(HeaderCodes, EveryCodeIsReplaced) {
  HeaderValues v = Values(3);
  EXPECT_EQ(ExpandHeaderCodes("Page #|@", v), "Page 3|05-Mar-24");
  EXPECT_EQ(ExpandHeaderCodes("^P ^D ^T ^F", v), "3 05-Mar-24 02:30:00 PM BUDGET.WKS");
  EXPECT_EQ(ExpandHeaderCodes("^p ^d ^t ^f", v), "3 05-Mar-24 02:30:00 PM BUDGET.WKS");
  EXPECT_EQ(ExpandHeaderCodes("##", v), "33");
  // Not codes: other letters after "^", and a "^" at the end.
  EXPECT_EQ(ExpandHeaderCodes("^X 50% ^", v), "^X 50% ^");
  EXPECT_EQ(ExpandHeaderCodes("", v), "");
}

TEST(HeaderCodes, TextPutInByACodeIsNotReadAgain) {
  HeaderValues v = Values(7);
  v.fileName = "A#^F@.WKS";
  EXPECT_EQ(ExpandHeaderCodes("^F", v), "A#^F@.WKS");
}

TEST(HeaderCodes, ResultsStopAt240Characters) {
  HeaderValues v = Values(1000);
  std::string codes(240, '#');  // every code grows fourfold
  std::string out = ExpandHeaderCodes(codes, v);
  EXPECT_EQ(out.size(), 240u);
  EXPECT_EQ(out.substr(0, 8), "10001000");
  v.fileName = std::string(200, 'F');
  EXPECT_EQ(ExpandHeaderCodes("^F^F^F", v).size(), 240u);
}

TEST(HeaderSections, OneIsCentredTwoGoLeftAndRightThreeTakeThirds) {
  auto one = PlaceSections("Title", 100, 600);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].x, 400);
  EXPECT_EQ(one[0].align, Align::Centre);

  auto two = PlaceSections("Page 3|05-Mar-24", 100, 600);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].text, "Page 3");
  EXPECT_EQ(two[0].x, 100);
  EXPECT_EQ(two[0].align, Align::Left);
  EXPECT_EQ(two[1].text, "05-Mar-24");
  EXPECT_EQ(two[1].x, 700);
  EXPECT_EQ(two[1].align, Align::Right);

  auto three = PlaceSections("L|C|R", 100, 600);
  ASSERT_EQ(three.size(), 3u);
  EXPECT_EQ(three[0].x, 100);
  EXPECT_EQ(three[1].x, 400);
  EXPECT_EQ(three[1].align, Align::Centre);
  EXPECT_EQ(three[2].x, 700);
  EXPECT_EQ(three[2].align, Align::Right);
}

TEST(HeaderSections, EmptySectionsAreLeftOutAndAFourthStaysWithTheThird) {
  auto centreOnly = PlaceSections("|#|", 0, 300);
  ASSERT_EQ(centreOnly.size(), 1u);
  EXPECT_EQ(centreOnly[0].text, "#");
  EXPECT_EQ(centreOnly[0].align, Align::Centre);
  auto rightOnly = PlaceSections("|R", 0, 300);
  ASSERT_EQ(rightOnly.size(), 1u);
  EXPECT_EQ(rightOnly[0].align, Align::Right);
  auto four = PlaceSections("a|b|c|d", 0, 300);
  ASSERT_EQ(four.size(), 3u);
  EXPECT_EQ(four[2].text, "c|d");
  EXPECT_TRUE(PlaceSections("", 0, 300).empty());
}

TEST(HeaderValues, DateAndTimeTextsOfADateNumber) {
  FormatSettings fmt;
  double when = SerialFromDate(2024, 3, 5) + 14.5 / 24;
  EXPECT_EQ(HeaderDateText(when, fmt), "05-Mar-2024");
  fmt.twoDigitYears = true;  // as the sheet shows dates
  EXPECT_EQ(HeaderDateText(SerialFromDate(1995, 10, 28) + 0.9, fmt), "28-Oct-95");
  std::string time = HeaderTimeText(when, fmt);
  EXPECT_NE(time.find("2:30"), std::string::npos) << time;
  EXPECT_NE(time.back(), ' ');
}

}  // namespace
}  // namespace tabulon
