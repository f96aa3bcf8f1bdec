#include "app/gui_start.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

namespace tabulon {
namespace {

// The display check against a made-up environment.
std::optional<std::string> NoDisplay(const std::map<std::string, std::string>& env,
                                     std::vector<std::string> args = {}) {
  return NoDisplayMessage(args, [&](const char* name) -> const char* {
    auto it = env.find(name);
    return it == env.end() ? nullptr : it->second.c_str();
  });
}

TEST(GuiStart, HelpAndVersionAreAnsweredBeforeAnyWindow) {
  EXPECT_EQ(GuiEarlyAnswer({"--help"}), GuiUsage());
  EXPECT_EQ(GuiEarlyAnswer({"file.wks", "-h"}), GuiUsage());
  EXPECT_EQ(GuiEarlyAnswer({"--version"}), std::string("tabulon ") + TABULON_VERSION + "\n");
  EXPECT_EQ(GuiEarlyAnswer({"file.wks"}), std::nullopt);
  EXPECT_EQ(GuiEarlyAnswer({"--config-dir", "--help"}), std::nullopt) << "a directory's name";
  EXPECT_NE(GuiUsage().find("--version"), std::string::npos);
}

TEST(GuiStart, AMachineWithoutADisplayIsToldSoInOneLine) {
  std::optional<std::string> none = NoDisplay({});
  ASSERT_TRUE(none.has_value());
  EXPECT_EQ(std::count(none->begin(), none->end(), '\n'), 1);
  EXPECT_NE(none->find("tabulon-cli"), std::string::npos);
  EXPECT_NE(none->find("QT_QPA_PLATFORM=offscreen"), std::string::npos);
  EXPECT_TRUE(NoDisplay({{"DISPLAY", ""}}).has_value()) << "set but empty";
  EXPECT_TRUE(NoDisplay({{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "wayland-0"}}));
  EXPECT_TRUE(NoDisplay({{"QT_QPA_PLATFORM", "wayland"}, {"DISPLAY", ":0"}}));

  EXPECT_FALSE(NoDisplay({{"DISPLAY", ":0"}}));
  EXPECT_FALSE(NoDisplay({{"WAYLAND_DISPLAY", "wayland-0"}}));
  EXPECT_FALSE(NoDisplay({{"QT_QPA_PLATFORM", "offscreen"}}));
  EXPECT_FALSE(NoDisplay({{"QT_QPA_PLATFORM", "vnc:size=800x600"}}));
  EXPECT_FALSE(NoDisplay({}, {"-platform", "minimal"}));
  EXPECT_TRUE(NoDisplay({{"QT_QPA_PLATFORM", "offscreen"}}, {"-platform", "xcb"}));
}

}  // namespace
}  // namespace tabulon
