// One point set in the three kinds of data file draws the same frame.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <sstream>

#include "TestSupport.h"
#include "app/cli/RenderCommand.h"

namespace ocuvis::cli {
namespace {

TEST(FileKinds, SamePointsDrawTheSameFrame) {
    std::string classic = "; classic layout\n";
    std::string csv = "# the same points\neast,north,\"height m\"\n";
    std::string ply =
        "ply\nformat binary_little_endian 1.0\nelement vertex 400\nproperty float x\n"
        "property float y\nproperty float z\nend_header\n";
    for (int i = 0; i < 400; ++i) {
        const float t = static_cast<float>(i) * 0.05f;
        const float point[3] = {std::cos(t) * (3.0f + t), std::sin(t) * 2.0f, t * 0.25f - 4.0f};
        char line[96];
        std::snprintf(line, sizeof line, "%.9g %.9g %.9g\n", point[0], point[1], point[2]);
        classic += line;
        std::snprintf(line, sizeof line, "%.9g,%.9g,%.9g\n", point[0], point[1], point[2]);
        csv += line;
        ply.append(reinterpret_cast<const char*>(point), sizeof point);  // little-endian host
    }

    test::TempFolder dir;
    QImage frames[3];
    const std::string names[3] = {"cloud.3d", "cloud.csv", "cloud.ply"};
    const std::string contents[3] = {classic, csv, ply};
    for (int k = 0; k < 3; ++k) {
        std::ostringstream out, err;
        const std::string image = dir.Path("frame" + std::to_string(k) + ".png");
        ASSERT_EQ(
            RenderMain({"--size", "400x200", "--view", "cross", "--lines", "1", "--points", "2",
                        "--azimuth", "30", "-o", image, dir.Write(names[k], contents[k])},
                       out, err),
            kExitOk)
            << err.str();
        EXPECT_EQ(out.str(), "Plotted 400 points\n") << names[k];
        frames[k] = QImage(QString::fromStdString(image));
        ASSERT_FALSE(frames[k].isNull());
    }
    EXPECT_TRUE(frames[1] == frames[0]);
    EXPECT_TRUE(frames[2] == frames[0]);
}

}  // namespace
}  // namespace ocuvis::cli
