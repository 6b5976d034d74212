#include "render/StereoFrame.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

namespace ocuvis {

namespace {

// Rows give output red, green, blue; columns multiply the eye's red, green, blue.
using Matrix = std::array<std::array<float, 3>, 3>;
struct PairMatrices {
    Matrix left;
    Matrix right;
};

// The least-squares projections for each pair's usual glasses, as published.
constexpr PairMatrices kRedCyan{{{{0.437f, 0.449f, 0.164f},
                                  {-0.062f, -0.062f, -0.024f},
                                  {-0.048f, -0.050f, -0.017f}}},
                                {{{-0.011f, -0.032f, -0.007f},
                                  {0.377f, 0.761f, 0.009f},
                                  {-0.026f, -0.093f, 1.234f}}}};
constexpr PairMatrices kGreenMagenta{{{{-0.062f, -0.158f, -0.039f},
                                       {0.284f, 0.668f, 0.143f},
                                       {-0.015f, -0.027f, 0.021f}}},
                                     {{{0.529f, 0.705f, 0.024f},
                                       {-0.016f, -0.015f, -0.065f},
                                       {0.009f, 0.075f, 0.937f}}}};
constexpr PairMatrices kAmberBlue{{{{1.062f, -0.205f, 0.299f},
                                    {-0.026f, 0.908f, 0.068f},
                                    {-0.038f, -0.173f, 0.022f}}},
                                  {{{-0.016f, -0.123f, -0.017f},
                                    {0.006f, 0.062f, -0.017f},
                                    {0.094f, 0.185f, 0.911f}}}};

// Which output channels (red, green, blue) each eye's filter passes.
struct ChannelMask {
    std::array<bool, 3> left;
    std::array<bool, 3> right;
};

const PairMatrices& MatricesOf(ViewType pair) {
    if (pair == ViewType::GreenMagenta) return kGreenMagenta;
    if (pair == ViewType::AmberBlue) return kAmberBlue;
    return kRedCyan;
}

ChannelMask MaskOf(ViewType pair) {
    if (pair == ViewType::GreenMagenta) return {{false, true, false}, {true, false, true}};
    if (pair == ViewType::AmberBlue) return {{true, true, false}, {false, false, true}};
    return {{true, false, false}, {false, true, true}};
}

int Luminance(QRgb p) {
    return (299 * qRed(p) + 587 * qGreen(p) + 114 * qBlue(p) + 500) / 1000;
}

int ClampedChannel(float value) {
    return static_cast<int>(std::lround(std::clamp(value, 0.0f, 255.0f)));
}

QRgb Optimised(const PairMatrices& m, QRgb l, QRgb r) {
    const std::array<float, 3> a{float(qRed(l)), float(qGreen(l)), float(qBlue(l))};
    const std::array<float, 3> b{float(qRed(r)), float(qGreen(r)), float(qBlue(r))};
    std::array<int, 3> out{};
    for (std::size_t c = 0; c < 3; ++c) {
        float sum = 0.0f;
        for (std::size_t k = 0; k < 3; ++k) sum += m.left[c][k] * a[k] + m.right[c][k] * b[k];
        out[c] = ClampedChannel(sum);
    }
    return qRgb(out[0], out[1], out[2]);
}

QRgb Plain(const ChannelMask& mask, QRgb l, QRgb r) {
    const int yl = Luminance(l);
    const int yr = Luminance(r);
    std::array<int, 3> out{};
    for (std::size_t c = 0; c < 3; ++c) out[c] = mask.left[c] ? yl : (mask.right[c] ? yr : 0);
    return qRgb(out[0], out[1], out[2]);
}

QImage Squeezed(const QImage& image, int width, int height) {
    if (image.width() == width && image.height() == height) return image;
    return image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

}  // namespace

QSize EyeImageSize(ViewType type, int width, int height, EyeImage eye) {
    if (type != ViewType::TopBottom) return {width, height};
    const int upper = (height + 1) / 2;
    return {width, std::max(1, eye == EyeImage::Right ? height - upper : upper)};
}

QImage CombineAnaglyph(const QImage& left, const QImage& right, ViewType pair,
                       AnaglyphMethod method) {
    if (!IsAnaglyphPair(pair) || left.size() != right.size()) return {};
    const QImage l = left.convertToFormat(QImage::Format_RGB32);
    const QImage r = right.convertToFormat(QImage::Format_RGB32);
    QImage out(l.size(), QImage::Format_RGB32);
    if (out.isNull()) return out;
    out.setDotsPerMeterX(l.dotsPerMeterX());
    out.setDotsPerMeterY(l.dotsPerMeterY());
    const PairMatrices& matrices = MatricesOf(pair);
    const ChannelMask mask = MaskOf(pair);
    for (int y = 0; y < out.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(l.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(r.constScanLine(y));
        auto* o = reinterpret_cast<QRgb*>(out.scanLine(y));
        // Most pixels are background, the same in both eyes: computed once per run.
        QRgb lastA = ~a[0], lastB = 0, last = 0;
        for (int x = 0; x < out.width(); ++x) {
            if (a[x] != lastA || b[x] != lastB) {
                lastA = a[x], lastB = b[x];
                last = method == AnaglyphMethod::Plain ? Plain(mask, a[x], b[x])
                                                       : Optimised(matrices, a[x], b[x]);
            }
            o[x] = last;
        }
    }
    return out;
}

QImage PackEyeImages(const QImage& left, const QImage& right, ViewType format, int width,
                     int height) {
    if (format != ViewType::SideBySideHalf && format != ViewType::TopBottom &&
        format != ViewType::TopBottomHalf)
        return {};
    QImage out = FrameRenderer::NewFrameImage(width, height);
    if (out.isNull()) return out;
    QPainter painter(&out);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (format == ViewType::SideBySideHalf) {
        const int half = width / 2;
        painter.drawImage(0, 0, Squeezed(left, half, height));
        painter.drawImage(half, 0, Squeezed(right, width - half, height));
    } else {
        const int upper = (height + 1) / 2;
        painter.drawImage(0, 0, Squeezed(left, width, upper));
        painter.drawImage(0, upper, Squeezed(right, width, height - upper));
    }
    return out;
}

QImage ComposeStereoFrame(FrameRenderer& renderer, int width, int height,
                          const FrameSources& sources) {
    const ViewType type = sources.view.viewType;
    const auto eyeImage = [&](EyeImage eye) {
        FrameSources one = sources;
        one.eye = eye;
        const QSize size = EyeImageSize(type, width, height, eye);
        return renderer.RenderImage(size.width(), size.height(), one);
    };
    const QImage left = eyeImage(EyeImage::Left);
    const QImage right = eyeImage(EyeImage::Right);
    if (left.isNull() || right.isNull()) return {};
    if (IsAnaglyphPair(type)) return CombineAnaglyph(left, right, type, sources.view.anaglyphMethod);
    return PackEyeImages(left, right, type, width, height);
}

}  // namespace ocuvis
