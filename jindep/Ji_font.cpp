#include "jindep/Ji_font.h"

#include <cstring>

#include "jindep/debug.h"
#include "jindep/memory.h"

namespace {

const char kSource[] = "jindep/Ji_font";

JFontCreateProc gCreate = nullptr;
JFontDestroyProc gDestroy = nullptr;
void* gProcData = nullptr;
JFontFace* gFaces = nullptr;
char* gDefaultFace = nullptr;

const char* DefaultFaceName() { return gDefaultFace ? gDefaultFace : "Sans"; }

void FreeFace(JFontFace* face) {
  while (JFontRef* font = face->fonts) {
    face->fonts = font->next;
    if (gDestroy) gDestroy(gProcData, font->platformFont);
    JFree(font);
  }
  JFree(face->name);
  JFree(face);
}

}  // namespace

void JFontSetPlatformProcs(JFontCreateProc create, JFontDestroyProc destroy, void* data) {
  gCreate = create;
  gDestroy = destroy;
  gProcData = data;
}

void JFontGetPlatformProcs(JFontCreateProc* create, JFontDestroyProc* destroy, void** data) {
  *create = gCreate;
  *destroy = gDestroy;
  *data = gProcData;
}

const char* JFontDefaultFace() { return DefaultFaceName(); }

void JFontSetDefaultFace(const char* name) {
  JFree(gDefaultFace);
  gDefaultFace = name ? JStrDup(name) : nullptr;
}

JFontFace* JFontFaceGet(const char* name) {
  if (!name || !*name) return nullptr;
  for (JFontFace* face = gFaces; face; face = face->next)
    if (strcmp(face->name, name) == 0) return face;
  JFontFace* face = static_cast<JFontFace*>(JAlloc(sizeof(JFontFace)));
  face->name = JStrDup(name);
  face->fonts = nullptr;
  face->next = gFaces;
  gFaces = face;
  return face;
}

JFontRef* JFontGet(const char* faceName, uint16_t size, uint16_t style, double scale) {
  JFontFace* face = JFontFaceGet(faceName ? faceName : DefaultFaceName());
  if (!face) return nullptr;
  for (JFontRef* font = face->fonts; font; font = font->next) {
    if (font->size == size && font->style == style && font->scale == scale) {
      ++font->refCount;
      return font;
    }
  }
  void* platformFont = gCreate ? gCreate(gProcData, face->name, size, style, scale) : nullptr;
  if (!platformFont) return nullptr;
  JFontRef* font = static_cast<JFontRef*>(JAlloc(sizeof(JFontRef)));
  font->face = face;
  font->size = size;
  font->style = style;
  font->scale = scale;
  font->refCount = 1;
  font->platformFont = platformFont;
  font->next = face->fonts;
  face->fonts = font;
  return font;
}

void JFontRelease(JFontRef* font) {
  if (!font) return;
  if (font->refCount == 0) {
    JDebugReport(kSource, __LINE__, "Reference count underflow");
    return;
  }
  --font->refCount;
}

namespace {

JFontRef* Replace(JFontRef* font, const char* face, uint16_t size, uint16_t style, double scale) {
  JFontRef* changed = JFontGet(face, size, style, scale);
  if (changed) JFontRelease(font);
  return changed;
}

}  // namespace

JFontRef* JFontChangeSize(JFontRef* font, uint16_t size) {
  return Replace(font, font->face->name, size, font->style, font->scale);
}

JFontRef* JFontChangeStyle(JFontRef* font, uint16_t style) {
  return Replace(font, font->face->name, font->size, style, font->scale);
}

JFontRef* JFontChangeScale(JFontRef* font, double scale) {
  return Replace(font, font->face->name, font->size, font->style, scale);
}

JFontRef* JFontChangeFace(JFontRef* font, const char* face) {
  return Replace(font, face, font->size, font->style, font->scale);
}

void JFontFreeFace(const char* name) {
  for (JFontFace** link = &gFaces; *link; link = &(*link)->next) {
    if (strcmp((*link)->name, name) == 0) {
      JFontFace* face = *link;
      *link = face->next;
      FreeFace(face);
      return;
    }
  }
}

void JFontFreeAll() {
  while (JFontFace* face = gFaces) {
    gFaces = face->next;
    FreeFace(face);
  }
  JFontSetDefaultFace(nullptr);
}
