#pragma once
// The key exchange of the chips with flash security, before their download.

#include <string>

namespace quillon {

struct OperationContext;

inline constexpr int kUnlockStopped = 0;
inline constexpr int kUnlockGoOn = 1;
inline constexpr int kUnlockEraseFirst = 0x14;

// 1 for every other chip at once; for TC326/TC327 asks for the reset and
// sends the key of the chip's SecurityFile: 1 (unlocked), 0x14 (the flash
// must be erased first) or 0 (stopped; reported or cancelled).
int UnlockSecurity(OperationContext& ctx, bool fullOperation);
int SendSecurityKey(OperationContext& ctx, const std::string& keyFilePath);

}  // namespace quillon
