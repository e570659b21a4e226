// A second, deliberately plain writer of the GIF stream a document produces. It
// shares no code with app/gif: it spells out every byte, the colour-table rules
// and the LZW coder step by step with std containers, so the real writer's output
// can be compared with it byte for byte.
#pragma once
#include <cstdint>
#include <vector>

struct Document;

namespace giftest {

// The whole stream for n colours, every pass from the first to the trailer, with
// `tally` giving per colour index the number of colours it stands for at n.
// Uses only the document's settings, colour table, merge order and index image;
// writes nothing into the document. With the global table n is at most 256.
std::vector<uint8_t> ReferenceGifStream(const Document* document, const uint32_t* tally, uint32_t n);

// LZW image data (sub-blocks, without the minimum-code-size byte before and the
// terminator after) of `pixels` with the given initial code width.
std::vector<uint8_t> ReferenceLzw(int initBits, const std::vector<uint8_t>& pixels);

}  // namespace giftest
