#include "config/result_file.hpp"

#include "platform/paths.hpp"

namespace quillon {

bool WriteResultFile(const std::string& programDir, int code, std::string_view text) {
    return WriteFileAtomically(JoinPath(programDir, kResultFileName),
                               ResultFileContents(code, text));
}

std::string ResultFileContents(int code, std::string_view text) {
    std::string contents;
    if (code == 306) {
        contents = "OK";
    } else {
        contents = "NG\r\n";
        // Every line break becomes exactly one CR LF: a lone LF gains its CR,
        // a CR LF stays as it is.
        for (std::size_t i = 0; i < text.size(); ++i) {
            char c = text[i];
            if (c == '\n' && (i == 0 || text[i - 1] != '\r')) {
                contents += "\r\n";
            } else {
                contents += c;
            }
        }
    }
    return contents;
}

}  // namespace quillon
