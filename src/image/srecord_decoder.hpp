#pragma once
// The S-record decoding loop over an open hex file.

namespace quillon {

struct OperationContext;
class TextLineReader;

// Decodes every line from the top of the file into the image. 1 on success;
// 0 after reporting the first bad line (result file in batch mode, else a
// message box "S format decoder").
int DecodeSRecordFile(OperationContext& ctx, TextLineReader& reader);

}  // namespace quillon
