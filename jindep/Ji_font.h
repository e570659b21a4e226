// Shared, reference-counted fonts. A font is named by its face, size, style and
// horizontal scale (1.0 is the natural width); asking twice for the same font
// answers the same record. Each face keeps its fonts cached for the rest of the
// run, so a font whose count has dropped to 0 is reused by the next request; the
// window layer supplies the procedures that make and destroy platform fonts.
#pragma once
#include <cstdint>

struct JFontRef;

struct JFontFace {
  char* name;
  JFontRef* fonts;  // the face's cache, most recent first
  JFontFace* next;
};

struct JFontRef {
  JFontFace* face;
  uint16_t size;
  uint16_t style;
  double scale;
  uint32_t refCount;
  void* platformFont;
  JFontRef* next;
};

// Makes the platform font; null when it cannot be made.
typedef void* (*JFontCreateProc)(void* data, const char* face, uint16_t size, uint16_t style, double scale);
typedef void (*JFontDestroyProc)(void* data, void* platformFont);
void JFontSetPlatformProcs(JFontCreateProc create, JFontDestroyProc destroy, void* data);
void JFontGetPlatformProcs(JFontCreateProc* create, JFontDestroyProc* destroy, void** data);

// The face used when a request names none.
void JFontSetDefaultFace(const char* name);
const char* JFontDefaultFace();
// Finds a known face by name or adds it; null for a null or empty name.
JFontFace* JFontFaceGet(const char* name);

// Answers the font with its count raised, or null when the face or the platform
// font cannot be made. A null face means the default face.
JFontRef* JFontGet(const char* face, uint16_t size, uint16_t style, double scale);
// Lowers the count; releasing a font whose count is already 0 is reported and changes nothing.
void JFontRelease(JFontRef* font);

// Each takes the font with one property replaced and then releases `font`, so that
// changing to the same font never lets it go. They answer null, and keep `font`,
// when the new font cannot be made.
JFontRef* JFontChangeSize(JFontRef* font, uint16_t size);
JFontRef* JFontChangeStyle(JFontRef* font, uint16_t style);
JFontRef* JFontChangeScale(JFontRef* font, double scale);
JFontRef* JFontChangeFace(JFontRef* font, const char* face);

// Destroys the platform fonts of one face and forgets it; its fonts must no longer be in use.
void JFontFreeFace(const char* name);
// Destroys every platform font and forgets every face (at shut-down).
void JFontFreeAll();
