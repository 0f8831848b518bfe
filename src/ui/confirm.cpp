#include "ui/confirm.h"

#include <algorithm>
#include <array>
#include <string>

#include "base/encoding.h"
#include "graphics/present.h"
#include "sound/media.h"
#include "text/menu_text.h"
#include "ui/ui_context.h"

namespace velmio {

void PlayMenuVoice(UiContext& engine, MenuVoice voice) {
  const std::string& name = engine.ui.menuVoices[static_cast<int>(voice)];
  if (!name.empty()) PlayWave(engine, name, Looping::Once);
}

int ConfirmYesNo(UiContext& engine, std::string_view message) {
  InputState& input = engine.input;
  TextState& text = engine.text;
  UiState& ui = engine.ui;
  input.skipMode = false;
  text.composeTextWindow = true;
  text.windowShown = true;
  PlayMenuVoice(engine, MenuVoice::Opened);
  const int pitchX = text.menuWindow.pitchX;
  const int pitchY = text.menuWindow.pitchY;
  const uint32_t textColour = (uint32_t{text.textRed} << 16) | (uint32_t{text.textGreen} << 8) | text.textBlue;
  int column = -std::max(1, kScreenWidth / 2 - static_cast<int>(message.size()) * pitchX / 4);
  int line = -(kScreenHeight / 2 - pitchY);
  DrawMenuText(engine, message, column, line, textColour);

  const std::array<std::string, 2> labels{Sjis("はい　"), Sjis("いいえ")};
  const std::array<int, 2> lefts{kScreenWidth / 2 - 4 * pitchX, kScreenWidth / 2 + 2 * pitchX};
  const int top = kScreenHeight / 2 + pitchY;
  auto draw = [&](int button, uint32_t colour, ScreenArea* drawn) {
    int buttonColumn = -lefts[button], buttonLine = -top;
    DrawMenuText(engine, labels[button], buttonColumn, buttonLine, colour, drawn);
  };
  std::array<ScreenArea, 2> areas;
  for (int button = 0; button < 2; ++button) {
    draw(button, ui.menuNormal, nullptr);
    areas[button] = ScreenArea{lefts[button], top, 3 * pitchX, pitchY};
  }
  engine.platform.ChoicesShown(areas);

  input.clickFlag = false;
  input.rightClickFlag = false;
  engine.platform.PlayerWaitStarted();
  int highlighted = -1;
  for (;;) {
    if (!engine.PumpOneMessage()) {
      engine.platform.Idle(20, WaitKind::Player);
      continue;
    }
    const auto last = static_cast<MessageKind>(input.lastMessage);
    if (last == MessageKind::MouseMove) {
      int hit = -1;
      for (int button = 0; button < 2; ++button) {
        const ScreenArea& area = areas[button];
        if (input.mouseX >= area.left && input.mouseX < area.left + area.width && input.mouseY >= area.top &&
            input.mouseY < area.top + area.height)
          hit = button;
      }
      if (hit != highlighted) {
        if (hit != -1) PlayMenuVoice(engine, MenuVoice::Moved);
        ScreenArea drawn;
        if (highlighted != -1) draw(highlighted, ui.menuNormal, &drawn);
        if (hit != -1) draw(hit, ui.menuHighlight, &drawn);
        if (drawn.width > 0) CopyToWindow(engine, engine.graphics.display, drawn);
        highlighted = hit;
      }
    } else if (last == MessageKind::LeftButtonUp && highlighted != -1) {
      input.clickFlag = false;
      PlayMenuVoice(engine, highlighted == 0 ? MenuVoice::Yes : MenuVoice::No);
      draw(highlighted, ui.menuNormal, nullptr);
      return highlighted == 0 ? 1 : 0;
    } else if (last == MessageKind::RightButtonUp) {
      input.rightClickFlag = false;
      if (!ui.menuVoices[static_cast<int>(MenuVoice::Cancelled)].empty()) {
        if (highlighted != -1) draw(highlighted, ui.menuNormal, nullptr);
        PlayMenuVoice(engine, MenuVoice::Cancelled);
      }
      return -1;
    }
  }
}

}  // namespace velmio
