#pragma once
// The C functions a native picture or archive plug-in exports. They keep the call sequences of
// the plug-ins games were written for; memory a plug-in hands back is allocated with malloc and
// released by the program with free.
#include <cstdint>

extern "C" {

// Decodes the picture file `path`. On success (result 0) `*info` holds a 40-byte bitmap
// information header followed by its palette (4 bytes per entry) and `*pixels` the rows,
// bottom-up, padded to 4 bytes. Called as (path, 0, 0, &info, &pixels, nullptr, 0).
using GetPictureFunction = int (*)(const char* path, long length, unsigned int flag, void** info, void** pixels,
                                   void* progressCallback, long data);

// The record GetFileInfo fills: an 8-byte method name, then the member's position in the archive,
// which must not be 0. The rest is the plug-in's own.
struct PluginFileInfo {
  unsigned char method[8];
  uint32_t position;
  uint32_t compressedSize;
  uint32_t fileSize;
  uint32_t timestamp;
  char path[200];
  char fileName[200];
  uint32_t crc;
};

// Looks `name` (folders separated by backslashes) up in the archive `archivePath`; result 0 when
// found. Called as (archivePath, 0, name, 128, &record).
using GetFileInfoFunction = int (*)(const char* archivePath, long length, const char* name, unsigned int flag,
                                    PluginFileInfo* record);

// Writes the member at `position` into the folder `destination` under its own base name; result 0
// on success. Called as (archivePath, position, destination, 0, nullptr, 0).
using GetFileFunction = int (*)(const char* archivePath, long position, char* destination, unsigned int flag,
                                void* progressCallback, long data);

}  // extern "C"
