#include "input/dialogs/TFileProgressBarForm.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "input/ByteStream.h"

namespace ocuvis {

TFileProgressBarForm::TFileProgressBarForm(const std::string& fileName, WindowBoundsStore& position,
                                           UserFeedback& feedback)
    : TProgressBarForm(position) {
    setObjectName("TFileProgressBarForm");
    if (const auto file = ByteStream::OpenFile(fileName)) {
        fileSize = file->Size();
        setWindowTitle(QString::fromLocal8Bit(fileName.c_str()));
    } else {
        setWindowTitle(kMissingFileCaption);
        feedback.MessageBeep(BeepKind::Hand);
    }
    ResetProgress(0);
}

std::string TFileProgressBarForm::KilobyteText(std::int64_t bytes) {
    const double kilobytes = static_cast<double>(bytes) / 1024.0;
    // Halves round up, as the 1.5 KB of a 1,536-byte position show as 2.
    const double rounded = std::floor(kilobytes + 0.5);
    if (rounded < 100000.0) return std::to_string(static_cast<std::int64_t>(rounded));
    char text[32];
    const auto end =
        std::to_chars(text, text + sizeof text, kilobytes, std::chars_format::scientific, 4).ptr;
    const std::string_view all(text, static_cast<std::size_t>(end - text));
    const std::size_t e = all.find('e');
    std::string_view mantissa = all.substr(0, e);
    while (mantissa.back() == '0')
        mantissa.remove_suffix(1);
    if (mantissa.back() == '.') mantissa.remove_suffix(1);
    int exponent = 0;
    std::from_chars(all.data() + e + (all[e + 1] == '+' ? 2 : 1), all.data() + all.size(),
                    exponent);
    return std::string(mantissa) + "E" + std::to_string(exponent);
}

float TFileProgressBarForm::PercentDone(std::int64_t position, std::int64_t fileSize) {
    if (fileSize <= 0) return 100.0f;
    const double percentPerByte = 100.0 / static_cast<double>(fileSize);
    const auto percent = static_cast<float>(static_cast<double>(position) * percentPerByte);
    // A file that grows while it is read would pass 100.
    return std::clamp(percent, 0.0f, 100.0f);
}

void TFileProgressBarForm::UpdateFileProgress(std::int64_t position) {
    percentDone = PercentDone(position, fileSize);
    const int percent = static_cast<int>(percentDone);
    const bool eventsDue = EventsDue();
    // The texts follow every step of the percentage; a kilobyte count that moved within one
    // step waits for the next run of events, the only time the window can show it. Setting
    // them at every kilobyte would cost a fast load more than reading it.
    if (percent != shownPercent_ || (eventsDue && position != shownPosition_)) {
        shownPercent_ = percent;
        shownPosition_ = position;
        const std::string message =
            "Loading File:  " + KilobyteText(position) + " KB of " + KilobyteText(fileSize) + " KB";
        SetProgress(percent, QString::fromStdString(message));
    }
    if (eventsDue) ProcessPendingEvents();
}

std::unique_ptr<LoadProgress> FileProgressFactory::Create(const std::string& fileName) {
    return std::make_unique<TFileProgressBarForm>(fileName, position_, feedback_);
}

}  // namespace ocuvis
