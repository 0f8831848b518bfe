#include "persist/save_files.h"

#include <cstdio>
#include <vector>

#include "base/encoding.h"
#include "files/file_reading.h"
#include "files/game_files.h"
#include "graphics/effects.h"
#include "graphics/graphics_lifecycle.h"
#include "graphics/picture_loader.h"
#include "persist/persist_context.h"
#include "persist/state_record.h"
#include "shell/window_procedure.h"
#include "sound/media.h"

namespace velmio {
namespace {

// Far beyond any real save (a full History and every string variable at its longest), small
// enough that a stray huge file is refused instead of read.
constexpr size_t kMaxSaveFileSize = size_t{4} << 20;

void TellPlayer(PersistContext& engine, const std::string& utf8Message) {
  ShowMessageBox(engine, Utf8ToShiftJis(utf8Message), Sjis("エラー"), MessageBoxStyle::Ok);
}

bool SlotInRange(int slot) { return slot >= 1 && slot <= kMaxSaveSlots; }

void ReloadClickCursors(PersistContext& engine) {
  std::array<ClickCursor, 2>& cursors = engine.text.cursors;
  const bool custom = !cursors[0].name.empty();
  for (int which = 0; which < 2; ++which) {
    ClickCursor& cursor = cursors[which];
    if (custom && !cursor.name.empty()) {
      LoadPicture(engine, cursor.layer, cursor.name);
    } else {
      LoadDefaultPicture(engine, cursor.layer, kDefaultCursorPictures[which]);
    }
  }
}

void ResetTextWindowForLoad(PersistContext& engine) {
  TextState& text = engine.text;
  text.menuMode = false;
  text.menuAreaPrepared = false;
  text.column = 0;
  text.line = 0;
  if (!text.windowPictureName.empty() && text.windowColour == kTextNoColour) {
    LoadPicture(engine, text.windowPicture, text.windowPictureName);
  } else {
    text.windowPicture.Reset();
  }
  text.layers.Clear();
  text.cursorKind = CursorKind::None;
  text.windowShown = false;
  text.composeTextWindow = false;
}

void RestartSound(PersistContext& engine) {
  // Copies: each Play call may record the name again into the state being read.
  const SoundState saved = engine.sound;
  auto looping = [](int32_t flag) { return flag != 0 ? Looping::Loop : Looping::Once; };
  if (saved.cdTrack != -1) PlayCdTrack(engine, saved.cdTrack, looping(saved.cdLoop));
  if (!saved.midiName.empty()) PlayMidi(engine, saved.midiName, looping(saved.midiLoop));
  if (!saved.waveName.empty() && saved.waveLoop != 0) PlayWave(engine, saved.waveName, Looping::Loop);
  if (!saved.mp3Name.empty()) PlayMp3(engine, saved.mp3Name, Looping::Loop);
}

}  // namespace

std::string SaveFileName(int slot) { return "save" + std::to_string(slot) + ".dat"; }

bool SaveFileExists(int slot) { return SlotInRange(slot) && IsRegularFile(GameFileForReading(SaveFileName(slot))); }

SlotOutcome SaveToSlot(PersistContext& engine, int slot) {
  if (!SlotInRange(slot)) {
    TellPlayer(engine, "セーブ番号" + std::to_string(slot) + "はありません。1から20までです。");
    return SlotOutcome::Refused;
  }
  const std::vector<uint8_t>& snapshot = engine.persist.snapshot.Bytes();
  if (snapshot.empty()) {
    TellPlayer(engine, "まだセーブできる場面がありません。");
    return SlotOutcome::Refused;
  }
  if (!WriteGameFile(SaveFileName(slot), snapshot)) {
    TellPlayer(engine, SaveFileName(slot) + "を書き込めませんでした。前のセーブはそのまま残っています。");
    return SlotOutcome::Refused;
  }
  engine.log.Write("SAVE", SaveFileName(slot));
  return SlotOutcome::Done;
}

SlotOutcome LoadFromSlot(PersistContext& engine, int slot) {
  if (!SlotInRange(slot)) {
    TellPlayer(engine, "セーブ番号" + std::to_string(slot) + "はありません。1から20までです。");
    return SlotOutcome::Refused;
  }
  std::vector<uint8_t> bytes;
  const std::string name = SaveFileName(slot);
  if (!ReadWholeFile(GameFileForReading(name), bytes, kMaxSaveFileSize)) {
    TellPlayer(engine, name + "を読み込めませんでした。");
    return SlotOutcome::Refused;
  }
  if (bytes.size() > kMaxSaveFileSize) {
    TellPlayer(engine, name + "はセーブデータではありません（大きすぎます）。");
    return SlotOutcome::Refused;
  }

  StopAllMedia(engine);
  ReadStateRecord(engine, bytes);
  ReloadClickCursors(engine);
  ResetTextWindowForLoad(engine);
  RestoreSavedPictures(engine);
  RestartSound(engine);
  engine.RecomposeScreen();
  ShowWithEffect(engine, 1, 0, "", nullptr);
  engine.log.Write("LOAD", name);
  return SlotOutcome::Done;
}

}  // namespace velmio
