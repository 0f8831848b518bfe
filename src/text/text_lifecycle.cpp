#include "text/text_lifecycle.h"

#include "base/encoding.h"
#include "graphics/picture_loader.h"
#include "text/text_context.h"

namespace velmio {
void InitialiseText(TextContext& engine) {
  TextState& text = engine.text;
  text.configuredFontFace = Sjis("ＭＳ ゴシック");
  text.eraseWindowMode = 1;
  text.windowEffect = WindowEffect{};
  text.clickStr.clear();
  text.clickStrMargin = 0;
  text.speedTable = {40, 10, 0};
  text.autoClick = false;
  text.autoClickDelay = 0;
  text.menuWindow = MenuWindow{};
  text.menuMode = false;
  text.menuAreaPrepared = false;
  text.windowShown = false;
  text.composeTextWindow = false;
  text.layers.Clear();
  text.history.Clear();
}

void ResetTextForStart(TextContext& engine) {
  TextState& text = engine.text;
  text.textX = 8;
  text.textY = 16;
  text.charsPerLine = 23;
  text.lineCount = 16;
  text.glyphWidth = 26;
  text.glyphHeight = 26;
  text.pitchX = 26;
  text.pitchY = 28;
  text.charWait = 20;
  text.bold = 1;
  text.shadow = 1;
  text.windowColour = 0x999999;
  text.windowPicture.Reset();
  text.windowPictureName.clear();
  text.windowRect = TextRect{};
  text.column = 0;
  text.line = 0;
  text.textRed = text.textGreen = text.textBlue = 255;
  text.fontFace = text.defaultFontFace;
  text.textVisible = 1;
  text.windowShown = false;
  text.composeTextWindow = false;
  text.eraseWindowMode = 1;
  text.layers.Clear();
  text.history.Clear();
  for (int which = 0; which < 2; ++which) {
    ClickCursor& cursor = text.cursors[which];
    LoadDefaultPicture(engine, cursor.layer, kDefaultCursorPictures[which]);
    cursor.name.clear();
    cursor.offsetX = 0;
    cursor.offsetY = 0;
    cursor.relative = true;
  }
  text.cursorKind = CursorKind::None;
  text.cursorX = 0;
  text.cursorY = 0;
}

}  // namespace velmio
