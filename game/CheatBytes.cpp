#include "game/CheatBytes.h"

namespace slamwise {

Result<CheatBytes> readCheatBytes(const RomFile& rom) {
    static_assert(kCheatByte2 == kCheatByte1 + 1, "the two bytes are read together");
    std::uint8_t bytes[2] = {};
    if (Status status = rom.read(kCheatByte1, bytes); !status) {
        return status;
    }
    return CheatBytes{bytes[0], bytes[1]};
}

void writeCheatBytes(Edit& edit, CheatBytes bytes) {
    edit.put8(kCheatByte1, bytes.first);
    edit.put8(kCheatByte2, bytes.second);
}

std::uint8_t packCheatList(const CheatList& ticks) {
    unsigned byte = 0;
    for (int i = 0; i < kCheatsPerByte; ++i) {
        if (ticks[static_cast<std::size_t>(i)]) {
            byte |= 1u << i;
        }
    }
    return static_cast<std::uint8_t>(byte);
}

CheatList unpackCheatList(std::uint8_t byte) {
    CheatList ticks{};
    for (int i = 0; i < kCheatsPerByte; ++i) {
        ticks[static_cast<std::size_t>(i)] = (byte & (1u << i)) != 0;
    }
    return ticks;
}

}  // namespace slamwise
