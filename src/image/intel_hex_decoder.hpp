#pragma once
// The Intel HEX decoding loop over an open hex file.

namespace quillon {

struct OperationContext;
class TextLineReader;

// Decodes from the top of the file until the end-of-file record or the last
// line. 1 on success; 0 after the first bad line, shown in a message box
// "IntelHex format decoder" only while a progress window is open.
int DecodeIntelHex(OperationContext& ctx, TextLineReader& reader);

}  // namespace quillon
