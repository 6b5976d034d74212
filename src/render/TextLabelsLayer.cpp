#include "render/TextLabelsLayer.h"

#include <QString>
#include <QStringDecoder>

#include "render/DepthFade.h"

namespace ocuvis {

void TextLabelsLayer::Draw() {
    const GraphViewState& view = frame_.view;
    frame_.canvas.SetFont({FontFace::Serif, 12, true});
    frame_.canvas.SetTextColour(view.fadeLines ? 0x000000 : view.lineColor);
    frame_.canvas.SetBrush(false, view.dotColor);
    DrawPass(0);
    DrawPass(1);
}

void TextLabelsLayer::DrawPass(int pass) {
    const GraphViewState& view = frame_.view;
    const Projection& projection = frame_.projection;
    Canvas& canvas = frame_.canvas;
    const bool twoImages =
        view.viewType == ViewType::CrossEyes || view.viewType == ViewType::WallEyes;
    for (int i = 0; i < frame_.labelCount; ++i) {
        const XYZTEXT& label = frame_.store.labels[static_cast<std::size_t>(i)];
        const PlotPosition p = frame_.PlotOf(label.x, label.y, label.z);
        const RotatedPosition r = projection.Rotate(p.x, p.y, p.z);
        const Colour grey = FadeGreyOf(r.Z, frame_.fadeNear, frame_.fadeFar, pass);
        if (view.fadeLines) canvas.SetTextColour(grey);
        ImagePixels at;
        if (grey == kSkipGrey || !projection.PixelsOf(r, at)) continue;

        int characters = 0;
        const std::string text = LabelTextAsUtf8(label.text, characters);
        canvas.SetFont({FontFace::Serif, TextLabelPointSize(characters), true});
        const int c1 = at.column1;
        const int row = at.row;
        canvas.DrawText({c1 - 100, row - 100, c1 + 100, row + 100}, TextAlign::Centre, text);
        if (twoImages) {
            const int c2 = at.column2;
            canvas.DrawText({c2 - 100, row - 100, c2 + 100, row + 100}, TextAlign::Centre, text);
        }
    }
}

int TextLabelPointSize(int characters) {
    if (characters < 19) return 12;
    if (characters <= 21) return 11;
    return 9;
}

std::string LabelTextAsUtf8(const std::string& raw, int& characters) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(raw.data(), static_cast<qsizetype>(raw.size())));
    if (utf8.hasError()) text = QString::fromLatin1(raw.data(), static_cast<qsizetype>(raw.size()));
    characters = static_cast<int>(text.toUcs4().size());
    return text.toStdString();
}

}  // namespace ocuvis
