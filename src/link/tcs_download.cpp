#include "link/tcs_download.hpp"

#include <array>

#include "config/catalog.hpp"
#include "link/command_frame.hpp"
#include "link/download.hpp"

namespace quillon {

namespace {

enum class Handshake { NothingReceived, Answered, Refused, LineFailed };

// TCS2 polls every ~20 ms: a one-byte read bounded by 10 + 10 ms.
constexpr std::uint32_t kFastPollTimeoutMs = 10;

Handshake PollForAnswer(Link& link, Operator& op, bool tcs2) {
    Handshake outcome = Handshake::NothingReceived;
    while (true) {
        // A poll that does not go out is answered by nothing: the loop goes
        // on until the user cancels or the read fails.
        (void)link.Write(&kTcsPoll, 1);
        std::uint8_t byte = 0;
        const long got = link.Read(&byte, 1);
        if (got < 0) return Handshake::LineFailed;
        // A 0x00 is never a reply.
        if (got == 1 && byte != 0) {
            if (byte == kTcsAnswer) return Handshake::Answered;
            outcome = Handshake::Refused;
            if (!tcs2) return outcome;  // TCS1 takes its first byte as the verdict
        }
        if (PollCancel(op)) return outcome;
    }
}

bool HeaderReplyOk(Link& link, std::uint8_t second, std::size_t expected) {
    std::array<std::uint8_t, 4> reply{};
    const long got = link.Read(reply.data(), expected);
    return got == static_cast<long>(expected) && reply[0] == 0xF1 && reply[1] == second;
}

bool Refuse(Operator& op) {
    op.Tell(Failure(kMsgDownloadError, kSeverityRedownloadData));
    return false;
}

// The RESET-button handshake, with the window asking for the button: true
// when the chip answered "F"; false after telling a refusal or a failed
// line, or once the user gave up ("Download canceled").
bool AwaitResetButton(Link& link, Operator& op, OperationTimer& timer,
                      const TcsSequence& sequence) {
    const bool tcs2 = sequence.tcs2;
    if (!tcs2) link.clock().SleepMs(250);
    if (ProgressSink* p = op.Progress()) {
        p->SetButtons(kProgressButtonCancel | kProgressButtonEnabled, false,
                      tcs2 ? "Special download sequence for TCS2 series"
                           : "Special download sequence for TCS1 series");
        p->SetIcon(kIconInformation);
        p->SetMessage("Please push RESET BUTTON on user board.");
    }
    if (sequence.fullOperation) timer.Restart();
    if (tcs2) {
        link.Purge();
        if (!link.SetTotalTimeouts(kFastPollTimeoutMs)) return false;
    }

    const Handshake outcome = PollForAnswer(link, op, tcs2);

    if (outcome == Handshake::LineFailed) {
        // Told once; polling a dead port until the user gives up helps nobody.
        op.Tell(Failure(kMsgPortReadError, kSeverityRedownload));
        return false;
    }
    if (tcs2 && !link.SetTotalTimeouts(kPortTimeoutMs)) return false;
    if (outcome == Handshake::NothingReceived) {
        op.NoteCancel();
        if (ProgressSink* p = op.Progress()) {
            p->SetMessage("Download canceled");
            p->SetButtons(kProgressButtonOk | kProgressButtonEnabled, false, std::nullopt);
        }
        WaitForProgressButton(op, link.clock());
        return false;
    }
    if (outcome == Handshake::Refused) return Refuse(op);
    return true;
}

// The load header with the image, then the run header, each answered by the
// boot ROM; false after telling a refusal.
bool SendTcsImage(Link& link, Operator& op, std::uint32_t address,
                  const std::vector<std::uint8_t>& image) {
    link.Purge();
    const auto length = static_cast<std::uint16_t>(image.size());
    const std::array<std::uint8_t, 8> header = {0x01,
                                                0x03,
                                                static_cast<std::uint8_t>(address),
                                                static_cast<std::uint8_t>(address >> 8),
                                                static_cast<std::uint8_t>(address >> 16),
                                                static_cast<std::uint8_t>(address >> 24),
                                                static_cast<std::uint8_t>(length),
                                                static_cast<std::uint8_t>(length >> 8)};
    // A header or image that does not go out is answered by nothing, which
    // the reply check refuses.
    (void)link.Write(header.data(), header.size());
    (void)link.Write(image.data(), image.size());
    link.clock().SleepMs(250);
    if (!HeaderReplyOk(link, 0x83, 4)) return Refuse(op);
    StepDownloadProgress(op);

    const std::array<std::uint8_t, 6> run = {header[0], 0x04,      header[2],
                                             header[3], header[4], header[5]};
    (void)link.Write(run.data(), run.size());
    return HeaderReplyOk(link, 0x84, 2) || Refuse(op);
}

}  // namespace

bool RunTcsSequence(Link& link, Operator& op, OperationTimer& timer, const TcsSequence& sequence,
                    const std::vector<std::uint8_t>& image) {
    if (!AwaitResetButton(link, op, timer, sequence)) return false;
    if (ProgressSink* p = op.Progress()) {
        p->SetButtons(kProgressBarEnabled, false, std::nullopt);
        p->SetIcon(kIconNone);
        p->SetTitle(sequence.fullOperation ? "Full Operation" : "Download");
        p->SetMessage(sequence.stepText);
    }
    StepDownloadProgress(op);
    link.clock().SleepMs(10);
    return SendTcsImage(link, op, sequence.address, image);
}

}  // namespace quillon
