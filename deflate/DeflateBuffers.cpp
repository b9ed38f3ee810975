#include "deflate/DeflateBuffers.h"

// The window has one byte of history in front of offset 0 (the slide keeps there the
// byte that leaves the window) and a few bytes of slack behind its end; make_unique with
// an array value-initialises, so every buffer starts zeroed.
TDeflateBuffers::TDeflateBuffers()
    : windowStore_(std::make_unique<uint8_t[]>(kWindowFront + kWindowSize + kWindowBack)),
      link_(std::make_unique<uint16_t[]>(kTableSize)),
      head_(std::make_unique<uint16_t[]>(kTableSize)),
      symbols_(std::make_unique<uint32_t[]>(kSymbolSize)),
      chain4_(std::make_unique<uint32_t[]>(kTableSize)),
      head4_(std::make_unique<uint16_t[]>(kTableSize)),
      bucket3_(std::make_unique<uint32_t[]>(kTableSize)),
      newest4_(std::make_unique<uint64_t[]>(kTableSize)),
      link6_(std::make_unique<uint16_t[]>(kTableSize)),
      head6_(std::make_unique<uint16_t[]>(kTableSize)),
      link8_(std::make_unique<uint16_t[]>(kTableSize)),
      head8_(std::make_unique<uint16_t[]>(kTableSize)),
      link10_(std::make_unique<uint16_t[]>(kTableSize)),
      head10_(std::make_unique<uint16_t[]>(kTableSize)),
      link12_(std::make_unique<uint16_t[]>(kTableSize)),
      head12_(std::make_unique<uint16_t[]>(kTableSize)),
      link16_(std::make_unique<uint16_t[]>(kTableSize)),
      head16_(std::make_unique<uint16_t[]>(kTableSize)) {}
