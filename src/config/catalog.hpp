#pragma once
// The numbered, bilingual message catalog. Texts keep their leading blanks and
// their "&&".

#include <string>

#include "platform/language.hpp"

namespace quillon {

// The text of catalog entry `id` in `language`; empty when there is none.
std::string CatalogText(Language language, int id);

// A catalog text as a label shows it: "&&" becomes "&".
std::string WithoutDoubledAmpersands(const std::string& text);

// Catalog numbers used by name in the code.
enum CatalogId : int {
    kMsgDownloadError = 201,
    kMsgTimeout = 203,
    kMsgCannotOpenPort = 206,
    kMsgCannotOpenDownloadFile = 207,
    kMsgCannotGetPortInfo = 210,
    kMsgCannotChangePortSetting = 211,
    kMsgCommunicationError = 212,
    kMsgReadError = 213,
    kMsgProgramError = 214,
    kMsgPortWriteError = 216,
    kMsgPortReadError = 218,
    kMsgEraseError = 219,
    kMsgFileAccessError = 220,
    kMsgNoMemory = 227,
    kMsgErased = 301,
    kMsgBlank = 302,
    kMsgProgrammed = 303,
    kMsgIdentical = 305,
    kMsgFullOperationOk = 306,
    kMsgDownloaded = 307,
    kMsgCopied = 308,
    kMsgSetHexFile = 401,
    kMsgKeyTooShort = 405,
    kMsgKeyTooLong = 406,
    kMsgIllegalSecurityFile = 407,
    kMsgDecodingHexFile = 502,
    kMsgErasing = 510,
    kMsgBlankChecking = 511,
    kMsgProgramming = 513,
    kMsgReadingComparing = 514,
    kMsgDownloading = 516,
    kMsgCopying = 517,
    kMsgRedoDownload = 537,
    kMsgCannotOpenKeyFile = 538,
    kMsgCanceled = 560,
    kMsgNotErased = 564,
    kMsgDifference = 566,
    kMsgAboutItem = 101,
    kMsgWaveFileMistake = 558,
    kMsgCustomizeCaption = 559,
};

// "Full Operation - " in front of a progress text when the step is part of a
// Full Operation.
std::string StepText(Language language, int id, bool fullOperation);

}  // namespace quillon
