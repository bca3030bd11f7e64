#pragma once
// Section magics and chunk tags of the project file, shared by its writer
// and reader.
#include "lv/chunk_stream.h"
#include "lv/section_file.h"

namespace lv::project {

inline constexpr uint32_t kPerformance = SectionMagic("PERF");
inline constexpr uint32_t kCapture = SectionMagic("CAPT");
inline constexpr uint32_t kSampler = SectionMagic("SAMP");
inline constexpr uint32_t kLfo = SectionMagic("LFOI");
inline constexpr uint32_t kBanks = SectionMagic("BNKS");
inline constexpr uint32_t kNote = SectionMagic("NOTE");
inline constexpr uint32_t kNext = SectionMagic("NEXT");

// "PERF"
inline constexpr uint32_t kChannels = ChunkTag("CHAN");
inline constexpr uint32_t kAdapter = ChunkTag("DRVR");
inline constexpr uint32_t kWidth = ChunkTag("XRES");
inline constexpr uint32_t kHeight = ChunkTag("YRES");
inline constexpr uint32_t kBits = ChunkTag("BITS");
inline constexpr uint32_t kRefresh = ChunkTag("RFRS");
inline constexpr uint32_t kWorkBuffers = ChunkTag("WORK");
inline constexpr uint32_t kPowerOfTwo = ChunkTag("NPW2");
inline constexpr uint32_t kHold = ChunkTag("HOLD");
inline constexpr uint32_t kHide = ChunkTag("HIDE");
inline constexpr uint32_t kMidiDevice = ChunkTag("DEVI");

// "LFOI"
inline constexpr uint32_t kLfoIndex = ChunkTag("INDX");
inline constexpr uint32_t kLfoType = ChunkTag("TYPE");
inline constexpr uint32_t kLfoOffset = ChunkTag("OFST");
inline constexpr uint32_t kLfoScale = ChunkTag("SCAL");
inline constexpr uint32_t kLfoRate = ChunkTag("RATE");
inline constexpr uint32_t kLfoPhase = ChunkTag("PHAS");
inline constexpr uint32_t kLfoDuty = ChunkTag("PARM");

// "NEXT"
inline constexpr uint32_t kTarget = ChunkTag("BUFF");

}  // namespace lv::project
