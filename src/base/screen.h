#pragma once
// The picture every game draws: 640 x 480, whatever the window or display around it.

namespace velmio {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

}  // namespace velmio
