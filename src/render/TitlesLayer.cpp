#include "render/TitlesLayer.h"

#include "render/GridLayer.h"

namespace ocuvis {

void TitlesLayer::Draw() {
    if (!frame_.view.titles) return;
    const auto [x, y, z] = GridBox::Of(frame_.graph);
    const TitleTexts& texts = frame_.titles;
    const struct {
        const std::string& text;
        PlotPosition at;
    } titles[] = {
        {texts.mainTitle, {x.gm + 0.5f * (x.gm - x.g0), y.g1 + 8.0f * y.tick, z.gm}},
        {texts.xTitle, {x.gm, y.g0 - 5.0f * y.tick, z.gm}},
        {texts.yTitle, {x.g0, y.g1 + 3.0f * y.tick, z.gm}},
        {texts.zTitle, {x.g0, y.g0 - 3.0f * y.tick, z.g0 - 0.125f * (z.g1 - z.g0)}},
    };
    for (const auto& title : titles)
        if (!title.text.empty()) frame_.DrawTextInImages(title.at, TextAlign::Centre, title.text);
}

}  // namespace ocuvis
