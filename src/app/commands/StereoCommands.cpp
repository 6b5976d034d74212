#include "app/commands/StereoCommands.h"

#include <array>
#include <string>

namespace ocuvis {

void StereoCommands::SwapEyesClick() {
    view_.swapEyes = !view_.swapEyes;
    gate_.RedrawGraph();
}

void StereoCommands::SetSeparation(int tenths) {
    if (tenths < 0 || tenths > kMostEyeSeparationTenths || tenths == view_.eyeSeparationTenths)
        return;
    view_.eyeSeparationTenths = tenths;
    gate_.RedrawGraph();
}

void StereoCommands::WiderEyesClick() {
    SetSeparation(view_.eyeSeparationTenths + 1);
}

void StereoCommands::NarrowerEyesClick() {
    SetSeparation(view_.eyeSeparationTenths - 1);
}

void StereoCommands::UsualEyesClick() {
    SetSeparation(10);
}

void StereoCommands::SelectAnaglyphMethod(AnaglyphMethod method) {
    if (method == view_.anaglyphMethod) return;
    view_.anaglyphMethod = method;
    gate_.RedrawGraph();
}

const char* SeparationText(int tenths) {
    static const std::array<std::string, kMostEyeSeparationTenths + 1> texts = [] {
        std::array<std::string, kMostEyeSeparationTenths + 1> all;
        for (int t = 0; t <= kMostEyeSeparationTenths; ++t)
            all[static_cast<std::size_t>(t)] =
                std::to_string(t / 10) + "." + std::to_string(t % 10);
        return all;
    }();
    if (tenths < 0 || tenths > kMostEyeSeparationTenths) return "?";
    return texts[static_cast<std::size_t>(tenths)].c_str();
}

}  // namespace ocuvis
