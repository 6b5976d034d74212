#include "render/FrameContext.h"

#include <algorithm>
#include <cmath>

#include "render/LineEnds.h"

namespace ocuvis {

FrameContext::FrameContext(Canvas& canvas, int width, int height, const FrameSources& sources,
                           float& fadeNear, float& fadeFar)
    : canvas(canvas),
      width(width),
      height(height),
      view(sources.view),
      graph(sources.graph),
      store(sources.store),
      titles(sources.titles),
      projection(sources.view, sources.graph, width, height, sources.eye),
      fadeNear(fadeNear),
      fadeFar(fadeFar),
      pointCount(sources.store.HeldCount(sources.store.pointCount)),
      labelCount(std::clamp(sources.store.labelCount, 0, kLabelCapacity)) {}

SegmentEnd FrameContext::EndOf(const PlotPosition& p) const {
    SegmentEnd end;
    end.r = projection.Rotate(p.x, p.y, p.z);
    end.drawable = projection.IsDrawable(end.r);
    return end;
}

bool FrameContext::ProjectBoth(SegmentEnd& a, SegmentEnd& b) const {
    if (!a.drawable || !b.drawable) return false;
    for (SegmentEnd* end : {&a, &b}) {
        if (end->projected) continue;
        end->column1 = projection.FirstImageColumn(end->r);
        if (Paired()) end->column2 = projection.SecondImageColumn(end->r);
        end->row = projection.ImageRow(end->r);
        end->projected = true;
        // A finite rotated position can still project beyond the float range (a viewing
        // distance near that range, say); such an end has no pixel.
        end->drawable =
            std::isfinite(end->column1) && std::isfinite(end->column2) && std::isfinite(end->row);
    }
    return a.drawable && b.drawable;
}

void FrameContext::DrawSegment(const PlotPosition& a, const PlotPosition& b) {
    SegmentEnd first = EndOf(a);
    SegmentEnd second = EndOf(b);
    if (ProjectBoth(first, second)) DrawSegmentImages(first, second);
}

void FrameContext::DrawSegmentImages(const SegmentEnd& a, const SegmentEnd& b) {
    if (Anaglyph()) canvas.SetPenColour(AnaglyphColour(0));
    DrawPixelLine(a.column1, a.row, b.column1, b.row);
    if (Paired()) {
        if (Anaglyph()) canvas.SetPenColour(AnaglyphColour(1));
        DrawPixelLine(a.column2, a.row, b.column2, b.row);
    }
}

void FrameContext::DrawSegmentImages(const SegmentEnd& a, const SegmentEnd& b, Colour second) {
    DrawPixelLine(a.column1, a.row, b.column1, b.row);
    if (Paired()) {
        canvas.SetPenColour(second);
        DrawPixelLine(a.column2, a.row, b.column2, b.row);
    }
}

void FrameContext::DrawTextInImages(const PlotPosition& p, TextAlign align,
                                    const std::string& text) {
    ImagePixels at;
    if (!projection.PixelsOf(projection.Rotate(p.x, p.y, p.z), at)) return;
    const int row = at.row;
    const auto box = [&](int column) {
        return align == TextAlign::Right
                   ? CanvasRect{column - 100, row - 100, column, row + 100}
                   : CanvasRect{column - 100, row - 100, column + 100, row + 100};
    };
    if (Anaglyph()) canvas.SetTextColour(AnaglyphColour(0));
    canvas.DrawText(box(at.column1), align, text);
    if (Paired()) {
        if (Anaglyph()) canvas.SetTextColour(AnaglyphColour(1));
        canvas.DrawText(box(at.column2), align, text);
    }
}

void FrameContext::DrawPixelLine(float x1, float y1, float x2, float y2) {
    LineEnds ends;
    if (PixelLineEnds(x1, y1, x2, y2, width, height, ends))
        canvas.DrawLine(ends.x1, ends.y1, ends.x2, ends.y2);
}

}  // namespace ocuvis
