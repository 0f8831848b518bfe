#pragma once
#include <cstdint>

namespace velmio {

class ShellContext;

// Menu ids of the menu bar and of the second menu resource, whose commands the settings replay
// posts.
namespace menu_id {
constexpr uint32_t kQuit = 40001;
constexpr uint32_t kFullScreen = 40002;
constexpr uint32_t kWindow = 40003;
constexpr uint32_t kDefaultFont = 40004;
constexpr uint32_t kVersion = 40005;
constexpr uint32_t kSkipToChoice = 40006;
constexpr uint32_t kPageAtATime = 40007;
constexpr uint32_t kDefaultDisplay = 40008;
constexpr uint32_t kSpeedSlow = 40014;
constexpr uint32_t kSpeedNormal = 40015;
constexpr uint32_t kSpeedFast = 40016;
constexpr uint32_t kWaveOn = 40017;
constexpr uint32_t kWaveOff = 40018;
}  // namespace menu_id

// The window procedure's handling of a menu command.
void HandleMenuCommand(ShellContext& engine, uint32_t id);

}  // namespace velmio
