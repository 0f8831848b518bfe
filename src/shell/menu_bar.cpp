#include "shell/menu_bar.h"

#include <algorithm>

#include "base/encoding.h"
#include "shell/menu_commands.h"
#include "shell/shell_context.h"

namespace velmio {

void MenuBar::RestoreTopLevel() {
  topLevel_ = {TopMenuItem::Quit,         TopMenuItem::Screen,      TopMenuItem::Font,
               TopMenuItem::SkipToChoice, TopMenuItem::DisplayMode, TopMenuItem::Version};
}

bool MenuBar::Remove(int position) {
  if (position < 0 || static_cast<size_t>(position) >= topLevel_.size()) return false;
  topLevel_.erase(topLevel_.begin() + position);
  return true;
}

void MenuBar::SetFonts(const std::vector<std::string>& sjisNames) {
  fontNames_.clear();
  for (const std::string& name : sjisNames) {
    if (fontNames_.size() + 1 >= kMaxFontNames) break;
    std::string stored = name.substr(0, kMaxFontNameLength);
    // Cutting must not leave half a two-byte character behind.
    size_t end = 0;
    while (end < stored.size()) {
      size_t step = IsLeadByte(static_cast<unsigned char>(stored[end])) ? 2 : 1;
      if (end + step > stored.size()) break;
      end += step;
    }
    stored.resize(end);
    fontNames_.push_back(std::move(stored));
  }
}

const std::string* MenuBar::FontName(uint32_t id) const {
  if (id == 0 || id > fontNames_.size()) return nullptr;
  return &fontNames_[id - 1];
}

std::optional<uint32_t> MenuBar::FindFont(std::string_view sjisName) const {
  auto it = std::find(fontNames_.begin(), fontNames_.end(), sjisName);
  if (it == fontNames_.end()) return std::nullopt;
  return static_cast<uint32_t>(it - fontNames_.begin()) + 1;
}

MenuBarView BuildMenuView(const ShellContext& engine) {
  const ShellState& shell = engine.shell;
  const MenuBar& menu = shell.menu;
  bool pageMode = engine.input.pageMode;
  MenuBarView view;
  for (TopMenuItem item : menu.TopLevel()) {
    MenuTopItemView top;
    switch (item) {
      case TopMenuItem::Quit:
        top.text = "終了";
        top.id = menu_id::kQuit;
        break;
      case TopMenuItem::Screen:
        top.text = "画面";
        top.popup = {{"フルスクリーン", menu_id::kFullScreen, shell.fullScreen},
                     {"ウィンドウ", menu_id::kWindow, !shell.fullScreen}};
        break;
      case TopMenuItem::Font:
        top.text = "フォント";
        for (size_t i = 0; i < menu.FontCount(); ++i) {
          uint32_t id = static_cast<uint32_t>(i + 1);
          top.popup.push_back({ShiftJisToUtf8(*menu.FontName(id)), id, menu.checkedFontItem == id});
        }
        top.popup.push_back({"デフォルト", menu_id::kDefaultFont, menu.checkedFontItem == menu_id::kDefaultFont});
        break;
      case TopMenuItem::SkipToChoice:
        top.text = "選択肢まで進む";
        top.id = menu_id::kSkipToChoice;
        break;
      case TopMenuItem::DisplayMode:
        top.text = "表示形式";
        top.popup = {{"デフォルト", menu_id::kDefaultDisplay, !pageMode},
                     {"一ページごと", menu_id::kPageAtATime, pageMode}};
        break;
      case TopMenuItem::Version:
        top.text = "バージョン情報";
        top.id = menu_id::kVersion;
        break;
    }
    view.items.push_back(std::move(top));
  }
  return view;
}

void RefreshMenuBar(ShellContext& engine) { engine.platform.SetMenuBar(BuildMenuView(engine)); }

}  // namespace velmio
