#include "link/control_program_file.hpp"

#include <cstdio>
#include <new>

#include "config/catalog.hpp"
#include "platform/paths.hpp"

namespace quillon {

std::string ChooseControlProgramFile(const std::string& programDir, const std::string& downloadFile,
                                     const std::string& crystalText) {
    // The crystal goes after the whole value, extension included.
    const std::string variant = downloadFile + "-" + crystalText;
    // The system's path limit counts the terminator.
    if (crystalText.size() <= kMaxCrystalText && variant.size() < kMaxPathLength &&
        FileExists(JoinPath(programDir, variant))) {
        return variant;
    }
    return downloadFile;
}

bool ReadControlProgram(const ChipSetup& chip, Operator& op, std::vector<std::uint8_t>& image,
                        std::string& chosen) {
    const std::string value = chip.Key("DownloadFile", 260);
    chosen = ChooseControlProgramFile(chip.programDir, value, chip.crystalText);
    const std::string path = JoinPath(chip.programDir, chosen);

    auto fail = [&](int code, const std::string& why) {
        op.Tell(Failure(code, kSeverityRedownload, why));
        return false;
    };
    if (chosen.empty() || DirectoryExists(path)) return fail(kMsgCannotOpenDownloadFile, "");
    std::FILE* file = OpenFile(path, "rb");
    if (!file) return fail(kMsgCannotOpenDownloadFile, "");
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return fail(kMsgFileAccessError, "");
    }
    try {
        image.assign(static_cast<std::size_t>(size), 0);
    } catch (const std::bad_alloc&) {
        std::fclose(file);
        return fail(kMsgNoMemory, "");
    }
    const std::size_t got = std::fread(image.data(), 1, image.size(), file);
    const bool readError = std::ferror(file) != 0;
    std::fclose(file);
    if (readError || got != image.size()) return fail(kMsgFileAccessError, "");
    if (image.size() < 3) {
        return fail(kMsgFileAccessError,
                    chosen + " holds " + std::to_string(image.size()) +
                        " bytes; a control program has at least 3 (byte 2 carries the crystal)");
    }
    return true;
}

void PatchCrystalIndex(std::vector<std::uint8_t>& image, int clockIndex) {
    if (image.size() > 2) image[2] = static_cast<std::uint8_t>(clockIndex);
}

}  // namespace quillon
