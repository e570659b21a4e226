#include "platform/wm/CursorArt.h"

namespace platform::wm {

namespace {

// An open hand; it points with the tip of the middle finger.
constexpr CursorArt kHand = {{"       XX       ",
                              "   XX X..XXX    ",
                              "  X..XX..X..X   ",
                              "  X..XX..X..X X ",
                              "   X..X..X..XX.X",
                              "   X..X..X..X..X",
                              " XX X.......X..X",
                              "X..XX..........X",
                              "X...X.........X ",
                              " X............X ",
                              "  X...........X ",
                              "  X..........X  ",
                              "   X.........X  ",
                              "    X.......X   ",
                              "     X......X   ",
                              "     XXXXXXXX   "},
                             8, 1};

// A magnifying glass; it points with the middle of its lens.
constexpr CursorArt kMagnifier = {{"    XXXX        ",
                                   "  XX....XX      ",
                                   " X........X     ",
                                   " X........X     ",
                                   "X..........X    ",
                                   "X..........X    ",
                                   "X..........X    ",
                                   "X..........X    ",
                                   " X........X     ",
                                   " X........X     ",
                                   "  XX....XXX     ",
                                   "    XXXX XXX    ",
                                   "          XXX   ",
                                   "           XXX  ",
                                   "            XXX ",
                                   "             XX "},
                                  5, 5};

// A dropper that picks a colour; it points with its tip.
constexpr CursorArt kDropper = {{"            XXX ",
                                 "           XXXXX",
                                 "          XXXXXX",
                                 "        X XXXXXX",
                                 "         XXXXXX ",
                                 "        X.XXXX  ",
                                 "       X...X X  ",
                                 "      X...X     ",
                                 "     X...X      ",
                                 "    X...X       ",
                                 "   X...X        ",
                                 "  X...X         ",
                                 " X...X          ",
                                 " X..X           ",
                                 "X.XX            ",
                                 "XX              "},
                                0, 15};

}  // namespace

const CursorArt* ArtOf(CursorShape shape) {
  switch (shape) {
    case CursorShape::Hand: return &kHand;
    case CursorShape::Magnifier: return &kMagnifier;
    case CursorShape::Dropper: return &kDropper;
    default: return nullptr;
  }
}

}  // namespace platform::wm
