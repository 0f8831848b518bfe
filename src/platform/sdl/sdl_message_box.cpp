#include "platform/sdl/sdl_message_box.h"

#include <string>

#include "base/encoding.h"

namespace velmio {
namespace {

constexpr int kOk = 0;
constexpr int kYes = 1;
constexpr int kNo = 2;

}  // namespace

bool ShowSdlMessageBox(SDL_Window* owner, std::string_view text, std::string_view title, MessageBoxStyle style,
                       MessageBoxAnswer& answer) {
  std::string textUtf8 = ShiftJisToUtf8(text);
  std::string titleUtf8 = ShiftJisToUtf8(title);
  static const SDL_MessageBoxButtonData kOkButtons[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kOk, "OK"}};
  static const SDL_MessageBoxButtonData kYesNoButtons[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, kYes, "はい"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kNo, "いいえ"}};
  bool yesNo = style == MessageBoxStyle::YesNo;
  SDL_MessageBoxData data{};
  data.flags = SDL_MESSAGEBOX_INFORMATION | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
  data.window = owner;
  data.title = titleUtf8.c_str();
  data.message = textUtf8.c_str();
  data.numbuttons = yesNo ? 2 : 1;
  data.buttons = yesNo ? kYesNoButtons : kOkButtons;
  int pressed = -1;
  if (SDL_ShowMessageBox(&data, &pressed) != 0) return false;
  // Closing the box without a button is the escape answer.
  answer = !yesNo ? MessageBoxAnswer::Ok : pressed == kYes ? MessageBoxAnswer::Yes : MessageBoxAnswer::No;
  return true;
}

}  // namespace velmio
