// Connecting lines with their fading, dots and the data file's text labels.
#include <QString>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>

#include "render/FrameDrawing.h"

namespace ocuvis {

void FrameDrawing::DrawLines() {
    if (view_.fadeLines) {
        fadeNear_ = 1.0f;
        fadeFar_ = -1.0f;
        fadeActive_ = true;
        fadeMeasuring_ = true;
        DrawAllSegments(false);
        fadeMeasuring_ = false;
    }
    canvas_.SetPenColour(view_.lineColor);
    canvas_.SetPenWidth(view_.lineThickness);
    drawPass_ = 0;
    if (view_.fadeLines) DrawAllSegments(true);
    drawPass_ = 1;
    DrawAllSegments(true);
    drawPass_ = 0;
    fadeActive_ = false;
}

void FrameDrawing::DrawAllSegments(bool withClosingSegment) {
    const DataPoint* points = store_.points.data();
    SegmentEnd shared;  // the end the previous segment and this one have in common
    bool haveShared = false;
    for (int i = 0; i + 1 < pointCount_; ++i) {
        const DataPoint& a = points[i];
        const DataPoint& b = points[i + 1];
        if (a.IsBreak() || b.IsBreak()) {
            haveShared = false;
            continue;
        }
        SegmentEnd first = haveShared ? shared : EndOf(PlotOf(a.x, a.y, a.z));
        shared = EndOf(PlotOf(b.x, b.y, b.z));
        DrawSegment(first, shared);
        haveShared = true;
    }
    // The built-in figure is closed: its last record joins the first.
    if (withClosingSegment && store_.defaultDataLoaded && pointCount_ > 1) {
        const DataPoint& a = points[pointCount_ - 1];
        const DataPoint& b = points[0];
        if (!a.IsBreak() && !b.IsBreak()) DrawSegment(PlotOf(a.x, a.y, a.z), PlotOf(b.x, b.y, b.z));
    }
}

FrameDrawing::SegmentEnd FrameDrawing::EndOf(const PlotPosition& p) const {
    SegmentEnd end;
    end.r = projection_.Rotate(p.x, p.y, p.z);
    end.drawable = projection_.IsDrawable(end.r);
    return end;
}

void FrameDrawing::Project(SegmentEnd& end) const {
    if (end.projected) return;
    end.column1 = projection_.FirstImageColumn(end.r);
    if (projection_.Paired()) end.column2 = projection_.SecondImageColumn(end.r);
    end.row = projection_.ImageRow(end.r);
    end.projected = true;
    // A finite rotated position can still project beyond the float range (a viewing distance
    // near that range, say); such an end has no pixel.
    end.drawable =
        std::isfinite(end.column1) && std::isfinite(end.column2) && std::isfinite(end.row);
}

void FrameDrawing::DrawSegment(const PlotPosition& a, const PlotPosition& b) {
    SegmentEnd first = EndOf(a);
    SegmentEnd second = EndOf(b);
    DrawSegment(first, second);
}

void FrameDrawing::DrawSegment(SegmentEnd& a, SegmentEnd& b) {
    const RotatedPosition& ra = a.r;
    const RotatedPosition& rb = b.r;
    // A segment with an end at or behind the eye, or with an end whose pixel overflows, has no
    // image; it is neither drawn nor measured, so it cannot stretch the fade range either.
    const auto hasImage = [&] {
        if (!a.drawable || !b.drawable) return false;
        Project(a);
        Project(b);
        return a.drawable && b.drawable;
    };
    if (fadeMeasuring_) {
        if (!hasImage()) return;
        fadeNear_ = std::min({fadeNear_, ra.Z, rb.Z});
        fadeFar_ = std::max({fadeFar_, ra.Z, rb.Z});
        return;
    }
    if (fadeActive_ && view_.fadeLines) {
        const float depth = std::min({1.0f, ra.Z, rb.Z});
        const Colour grey = FadeGrey(depth);
        canvas_.SetPenColour(grey);
        if (grey == kSkipGrey) return;
    }
    if (!hasImage()) return;

    if (Anaglyph()) canvas_.SetPenColour(kAnaglyphBlue);
    DrawPixelLine(a.column1, a.row, b.column1, b.row);
    if (projection_.Paired()) {
        if (Anaglyph()) canvas_.SetPenColour(kAnaglyphRed);
        DrawPixelLine(a.column2, a.row, b.column2, b.row);
    }
}

Colour FrameDrawing::FadeGrey(float depth) const {
    return FadeGreyOf(depth, fadeNear_, fadeFar_, drawPass_);
}

void FrameDrawing::DrawDots() {
    const DataPoint* points = store_.points.data();
    const bool ownSizes = store_.dotSizesPresent != 0;
    for (int i = 0; i < pointCount_; ++i) {
        const DataPoint& p = points[i];
        if (p.IsBreak()) continue;
        DrawDot(PlotOf(p.x, p.y, p.z), ownSizes ? p.SizeClass() : view_.pointSize);
    }
}

void FrameDrawing::DrawDot(const PlotPosition& p, int s) {
    // Size 0 shows no dot; negative sizes (stored settings) show none either.
    if (s <= 0) return;
    s = std::min(s, kMaxDotSize);
    canvas_.SetPenWidth(s);
    ImagePixels at;
    if (!projection_.PixelsOf(projection_.Rotate(p.x, p.y, p.z), at)) return;
    const int c = at.column1;
    const int row = at.row;
    if (Anaglyph()) {
        canvas_.SetPenColour(kAnaglyphBlue);
        canvas_.SetBrush(true, kAnaglyphBlue);
    }
    canvas_.DrawEllipse({c - s, row - s, c + s, row + s});
    if (projection_.Paired()) {
        if (Anaglyph()) {
            canvas_.SetPenColour(kAnaglyphRed);
            canvas_.SetBrush(true, kAnaglyphRed);
        }
        const int c2 = at.column2;
        canvas_.DrawEllipse({c2 - s, row - s, c2 + s, row + s});
    }
}

void FrameDrawing::DrawTextLabels() {
    const bool twoImages =
        view_.viewType == ViewType::CrossEyes || view_.viewType == ViewType::WallEyes;
    for (int i = 0; i < labelCount_; ++i) {
        const XYZTEXT& label = store_.labels[static_cast<std::size_t>(i)];
        const PlotPosition p = PlotOf(label.x, label.y, label.z);
        const RotatedPosition r = projection_.Rotate(p.x, p.y, p.z);
        const Colour grey = FadeGrey(r.Z);
        if (view_.fadeLines) canvas_.SetTextColour(grey);
        ImagePixels at;
        if (grey == kSkipGrey || !projection_.PixelsOf(r, at)) continue;

        int characters = 0;
        const std::string text = LabelTextAsUtf8(label.text, characters);
        canvas_.SetFont({FontFace::Serif, TextLabelPointSize(characters), true});
        const int c1 = at.column1;
        const int row = at.row;
        canvas_.DrawText({c1 - 100, row - 100, c1 + 100, row + 100}, TextAlign::Centre, text);
        if (twoImages) {
            const int c2 = at.column2;
            canvas_.DrawText({c2 - 100, row - 100, c2 + 100, row + 100}, TextAlign::Centre, text);
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
