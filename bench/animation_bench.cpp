// Animated files of a turntable: 180 frames of 780 × 239, two degrees apart, written as GIF and
// as lossless WebP. Each frame is a cross-eyed pair of views of a cloud of a few hundred points
// turning about the vertical axis: white and coloured 3-pixel dots and 1-pixel lines on black.
// "Plain" draws as the viewer's canvas does, in a few exact colours; "Shaded" darkens every dot
// and line by its depth and smooths the lines, so frames have far more than 256 colours. The
// frames are drawn once beforehand: the time is the encoder's and the file's alone.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <array>
#include <cmath>
#include <cstdio>
#include <random>
#include <unordered_set>
#include <vector>

#include "render/animation/AnimationWriter.h"

using namespace ocuvis;

namespace {

constexpr int kWidth = 780;
constexpr int kHeight = 239;
constexpr int kFrames = 180;
constexpr int kPoints = 400;

struct Point {
    double x, y, z;
    QRgb colour;
};

std::vector<Point> Cloud() {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(-1, 1);
    const std::array<QRgb, 5> hues = {0xFFFFFF, 0xFF4040, 0x40FF40, 0x4080FF, 0xFFFF40};
    std::vector<Point> points;
    for (int i = 0; i < kPoints; ++i) {
        // A helix with some scatter, so lines join neighbours and the cloud has depth.
        const double t = i * 0.08;
        points.push_back({std::cos(t) * 0.8 + unit(random) * 0.15, i * 2.0 / kPoints - 1,
                          std::sin(t) * 0.8 + unit(random) * 0.15,
                          hues[static_cast<std::size_t>(i / 40) % hues.size()]});
    }
    return points;
}

QColor Shade(QRgb colour, double depth, bool shaded) {
    if (!shaded) return QColor(colour);
    const double light = 0.35 + 0.65 * (1 - (depth + 1) / 2);
    return QColor::fromRgbF(qRed(colour) / 255.0 * light, qGreen(colour) / 255.0 * light,
                            qBlue(colour) / 255.0 * light);
}

QImage DrawFrame(const std::vector<Point>& cloud, double azimuth, bool shaded) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, shaded);
    const double half = kWidth / 2.0;
    for (int eye = 0; eye < 2; ++eye) {
        const double turn = azimuth + (eye == 0 ? 0.05 : -0.05);
        std::vector<QPointF> at;
        std::vector<double> depth;
        for (const Point& p : cloud) {
            const double x = p.x * std::cos(turn) + p.z * std::sin(turn);
            const double z = -p.x * std::sin(turn) + p.z * std::cos(turn);
            const double scale = 360 / (3 + z);
            at.emplace_back(half * eye + half / 2 + x * scale, kHeight / 2.0 - p.y * scale * 0.6);
            depth.push_back(z);
        }
        for (std::size_t i = 1; i < at.size(); ++i) {
            painter.setPen(QPen(Shade(0x909090, depth[i], shaded), 1));
            painter.drawLine(at[i - 1], at[i]);
        }
        for (std::size_t i = 0; i < at.size(); ++i)
            painter.fillRect(QRectF(at[i].x() - 1, at[i].y() - 1, 3, 3),
                             Shade(cloud[i].colour, depth[i], shaded));
    }
    return image;
}

const std::vector<QImage>& Frames(bool shaded) {
    static const auto draw = [](bool s) {
        const std::vector<Point> cloud = Cloud();
        std::vector<QImage> frames;
        for (int i = 0; i < kFrames; ++i)
            frames.push_back(DrawFrame(cloud, i * 2 * M_PI / kFrames, s));
        return frames;
    };
    static const std::vector<QImage> plain = draw(false);
    static const std::vector<QImage> shadedFrames = draw(true);
    return shaded ? shadedFrames : plain;
}

int MostColours(const std::vector<QImage>& frames) {
    std::size_t most = 0;
    for (const QImage& frame : frames) {
        std::unordered_set<QRgb> colours;
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x)
                colours.insert(frame.pixel(x, y));
        most = std::max(most, colours.size());
    }
    return static_cast<int>(most);
}

void BM_Turntable(benchmark::State& state, const char* suffix) {
    const bool shaded = state.range(0) != 0;
    const std::vector<QImage>& frames = Frames(shaded);
    const QString path =
        QStringLiteral("/tmp/ocuvis-animation-bench-%1%2").arg(::getpid()).arg(suffix);
    for (auto _ : state) {
        AnimationWriter writer;
        std::optional<QString> failure = writer.Open(path, frames[0].size(), 40);
        for (const QImage& frame : frames)
            if (!failure) failure = writer.AddFrame(frame);
        if (!failure) failure = writer.Finish();
        if (failure) state.SkipWithError(qPrintable(*failure));
    }
    state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
    state.counters["colours"] = MostColours(frames);
    std::remove(qPrintable(path));
}

}  // namespace

BENCHMARK_CAPTURE(BM_Turntable, Gif, ".gif")
    ->ArgName("shaded")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Turntable, WebP, ".webp")
    ->ArgName("shaded")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
