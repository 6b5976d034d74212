// Command-line options of ocuvis-render.
#include <charconv>
#include <cmath>
#include <functional>
#include <map>

#include "app/BuildInfo.h"
#include "app/cli/RenderCommand.h"
#include "core/ScrollBarModel.h"
#include "render/ImageFile.h"
#include "render/animation/AnimationWriter.h"

namespace ocuvis::cli {

namespace {

bool ParseInt(std::string_view text, long long minimum, long long maximum, long long& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size() &&
           value >= minimum && value <= maximum;
}

bool ParseFloat(std::string_view text, float& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size() &&
           std::isfinite(value);
}

bool ParseDouble(std::string_view text, double& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size() &&
           std::isfinite(value);
}

// none, rgb (the file's colours), x, y or z (the axes as read), or a field number, whose values
// are then read beside the points.
bool ParseColourBy(std::string_view text, RenderOptions& o) {
    o.fields.ValueIndex = 0;
    if (text == "none") o.view.colourBy = ColourBy::None;
    if (text == "rgb") o.view.colourBy = ColourBy::File;
    if (text == "x") o.view.colourBy = ColourBy::X;
    if (text == "y") o.view.colourBy = ColourBy::Y;
    if (text == "z") o.view.colourBy = ColourBy::Z;
    if (text == "none" || text == "rgb" || text == "x" || text == "y" || text == "z") return true;
    long long field = 0;
    if (!ParseInt(text, 1, 1000, field)) return false;
    o.view.colourBy = ColourBy::Field;
    o.fields.ValueIndex = static_cast<std::int32_t>(field);
    return true;
}

// "a,b,c": exactly count integers within the bounds.
template <std::size_t N>
bool ParseIntList(std::string_view text, long long minimum, long long maximum,
                  std::array<int, N>& values) {
    for (std::size_t i = 0; i < N; ++i) {
        const std::size_t comma = text.find(',');
        const bool last = i + 1 == N;
        if (last != (comma == std::string_view::npos)) return false;
        long long value = 0;
        if (!ParseInt(text.substr(0, comma), minimum, maximum, value)) return false;
        values[i] = static_cast<int>(value);
        if (!last) text.remove_prefix(comma + 1);
    }
    return true;
}

bool ParseColour(std::string_view text, Colour& colour) {
    if (text.size() != 7 || text.front() != '#') return false;
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data() + 1, text.data() + 7, value, 16);
    if (ec != std::errc() || end != text.data() + 7) return false;
    colour = ColourFromRgb(static_cast<int>(value >> 16), static_cast<int>((value >> 8) & 0xFF),
                           static_cast<int>(value & 0xFF));
    return true;
}

// The largest side of an image; larger frames are refused rather than tried.
constexpr long long kMaxImageSide = 16384;

bool ParseSize(std::string_view text, int& width, int& height) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos) return false;
    long long w = 0, h = 0;
    if (!ParseInt(text.substr(0, x), 1, kMaxImageSide, w) ||
        !ParseInt(text.substr(x + 1), 1, kMaxImageSide, h))
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

std::optional<ViewType> ParseView(std::string_view text) {
    if (text == "cross") return ViewType::CrossEyes;
    if (text == "wall") return ViewType::WallEyes;
    if (text == "right-red") return ViewType::RightRed;
    if (text == "right-blue") return ViewType::RightBlue;
    if (text == "single") return ViewType::Single;
    if (text == "red-cyan") return ViewType::RedCyan;
    if (text == "green-magenta") return ViewType::GreenMagenta;
    if (text == "amber-blue") return ViewType::AmberBlue;
    if (text == "sbs-half") return ViewType::SideBySideHalf;
    if (text == "top-bottom") return ViewType::TopBottom;
    if (text == "top-bottom-half") return ViewType::TopBottomHalf;
    return std::nullopt;
}

bool HasImageExtension(const std::string& name) {
    return ImageFormatOfName(name).has_value();
}

bool HasAnimationExtension(const std::string& name) {
    return AnimationFormatOfName(name).has_value();
}

// "0.7": tenths of the usual eye separation, 0..20, whole tenths only.
bool ParseSeparation(std::string_view text, std::int32_t& tenths) {
    float value = 0.0f;
    if (!ParseFloat(text, value)) return false;
    const double scaled = static_cast<double>(value) * 10.0;
    const long rounded = std::lround(scaled);
    if (rounded < 0 || rounded > kMostEyeSeparationTenths ||
        std::fabs(scaled - static_cast<double>(rounded)) > 1e-4)
        return false;
    tenths = static_cast<std::int32_t>(rounded);
    return true;
}

// An animation goes to a .gif or .webp file; a picture to .png, .bmp or standard output.
bool CheckAnimation(RenderOptions& options, std::string& error) {
    if (!options.animate) {
        if (options.output.empty()) options.output = "ocuvis.png";
        if (HasImageExtension(options.output) || options.output == kStandardOutput) return true;
        error = "the image name '" + options.output +
                "' must end in .png or .bmp (.gif and .webp need --animate)";
        return false;
    }
    if (options.output.empty()) options.output = "ocuvis.gif";
    if (!HasAnimationExtension(options.output)) {
        error = "the animation name '" + options.output + "' must end in .gif or .webp";
        return false;
    }
    if (options.frames != 1 || options.format) {
        error =
            std::string("'--animate' makes one file; it takes neither '--frames' nor '--format'");
        return false;
    }
    if (!options.delayMs) options.delayMs = DefaultAnimationDelay(*options.animate);
    return true;
}

bool Within(ScrollRange range, int position) {
    return position >= range.minimum && position <= range.maximum;
}

// The image's format and size once every option is known.
bool CheckOutput(RenderOptions& options, std::string& error) {
    if (!CheckAnimation(options, error)) return false;
    if (options.format && options.output != kStandardOutput &&
        ImageFormatOfName(options.output) != options.format) {
        error = std::string("option '--format ") +
                (options.format == ImageFileFormat::Png ? "png" : "bmp") +
                "' does not agree with the image name '" + options.output + "'";
        return false;
    }
    if (options.oneToOne) {
        const int width = OneToOneWidth(options.height, options.view.viewType);
        if (width < 1 || width > kMaxImageSide) {
            error = "'--one-to-one' makes the image " + std::to_string(width) +
                    " pixels wide; the most is " + std::to_string(kMaxImageSide);
            return false;
        }
        options.width = width;
    }
    return true;
}

using Flag = std::function<void(RenderOptions&)>;
// Returns false when the value is malformed.
using Valued = std::function<bool(RenderOptions&, const std::string&)>;

const std::map<std::string, Flag>& Flags() {
    static const std::map<std::string, Flag> flags = {
        {"--box", [](RenderOptions& o) { o.view.fullBoxGrid = true; }},
        {"--axis-labels", [](RenderOptions& o) { o.view.axisLabels = true; }},
        {"--titles", [](RenderOptions& o) { o.view.titles = true; }},
        {"--text-labels", [](RenderOptions& o) { o.view.textLabels = true; }},
        {"--fade", [](RenderOptions& o) { o.view.fadeLines = true; }},
        {"--depth-shade", [](RenderOptions& o) { o.view.depthShade = true; }},
        {"--legend", [](RenderOptions& o) { o.view.colourLegend = true; }},
        {"--no-mode-indicator", [](RenderOptions& o) { o.view.modeIndicator = false; }},
        {"--z-invert", [](RenderOptions& o) { o.view.zInvert = true; }},
        {"--one-to-one", [](RenderOptions& o) { o.oneToOne = true; }},
        {"--swap-eyes", [](RenderOptions& o) { o.view.swapEyes = true; }},
        {"--help", [](RenderOptions& o) { o.help = true; }},
        {"-h", [](RenderOptions& o) { o.help = true; }},
        {"--version", [](RenderOptions& o) { o.version = true; }},
    };
    return flags;
}

bool SetInt(std::int32_t& target, const std::string& text, long long minimum, long long maximum) {
    long long value = 0;
    if (!ParseInt(text, minimum, maximum, value)) return false;
    target = static_cast<std::int32_t>(value);
    return true;
}

using ValuedMap = std::map<std::string, Valued>;

void AddOutputAndViewOptions(ValuedMap& options) {
    options.insert({
        {"-o",
         [](RenderOptions& o, const std::string& v) {
             o.output = v;
             return v == kStandardOutput || HasImageExtension(v) || HasAnimationExtension(v);
         }},
        {"--format",
         [](RenderOptions& o, const std::string& v) {
             if (v == "png") o.format = ImageFileFormat::Png;
             if (v == "bmp") o.format = ImageFileFormat::Bmp;
             return v == "png" || v == "bmp";
         }},
        {"--size",
         [](RenderOptions& o, const std::string& v) { return ParseSize(v, o.width, o.height); }},
        {"--view",
         [](RenderOptions& o, const std::string& v) {
             const std::optional<ViewType> type = ParseView(v);
             if (type) o.view.viewType = *type;
             return type.has_value();
         }},
        {"--anaglyph",
         [](RenderOptions& o, const std::string& v) {
             if (v == "plain") o.view.anaglyphMethod = AnaglyphMethod::Plain;
             if (v == "optimised") o.view.anaglyphMethod = AnaglyphMethod::Optimised;
             return v == "plain" || v == "optimised";
         }},
        {"--eye-separation",
         [](RenderOptions& o, const std::string& v) {
             return ParseSeparation(v, o.view.eyeSeparationTenths);
         }},
        {"--animate",
         [](RenderOptions& o, const std::string& v) {
             if (v == "turntable") o.animate = AnimationKind::Turntable;
             if (v == "wiggle") o.animate = AnimationKind::Wiggle;
             return v == "turntable" || v == "wiggle";
         }},
        {"--step",
         [](RenderOptions& o, const std::string& v) {
             long long step = 0;
             if (!ParseInt(v, 1, 180, step) || !IsTurntableStep(static_cast<int>(step)))
                 return false;
             o.stepDegrees = static_cast<int>(step);
             return true;
         }},
        {"--delay",
         [](RenderOptions& o, const std::string& v) {
             long long delay = 0;
             if (!ParseInt(v, 10, 655350, delay)) return false;
             o.delayMs = static_cast<int>(delay);
             return true;
         }},
        {"--azimuth",
         [](RenderOptions& o, const std::string& v) {
             return SetInt(o.view.azimuth, v, kAngleBar.minimum, kAngleBar.maximum);
         }},
        {"--elevation",
         [](RenderOptions& o, const std::string& v) {
             return SetInt(o.view.elevation, v, kAngleBar.minimum, kAngleBar.maximum);
         }},
        {"--points",
         [](RenderOptions& o, const std::string& v) {
             o.view.finePoints = v == "fine"    ? FinePoints::OnePixel
                                 : v == "fine2" ? FinePoints::TwoByTwo
                                                : FinePoints::Off;
             return o.view.finePoints != FinePoints::Off || SetInt(o.view.pointSize, v, 0, 6);
         }},
        {"--lines", [](RenderOptions& o,
                       const std::string& v) { return SetInt(o.view.lineThickness, v, 0, 3); }},
        {"--grid", [](RenderOptions& o,
                      const std::string& v) { return SetInt(o.view.gridThickness, v, 0, 3); }},
    });
}

void AddTitleOptions(ValuedMap& options) {
    options.insert({
        {"--title-main",
         [](RenderOptions& o, const std::string& v) {
             o.titles.mainTitle = v;
             return true;
         }},
        {"--title-x",
         [](RenderOptions& o, const std::string& v) {
             o.titles.xTitle = v;
             return true;
         }},
        {"--title-y",
         [](RenderOptions& o, const std::string& v) {
             o.titles.yTitle = v;
             return true;
         }},
        {"--title-z",
         [](RenderOptions& o, const std::string& v) {
             o.titles.zTitle = v;
             return true;
         }},
    });
}

void AddScaleOptions(ValuedMap& options) {
    options.insert({
        {"--range",
         [](RenderOptions& o, const std::string& v) {
             return ParseIntList(v, kRangeBar.minimum, kRangeBar.maximum, o.rangePositions);
         }},
        {"--offset",
         [](RenderOptions& o, const std::string& v) {
             std::array<int, 3> p{};
             if (!ParseIntList(v, kZOffsetBar.minimum, kZOffsetBar.maximum, p)) return false;
             if (!Within(kXYOffsetBar, p[0]) || !Within(kXYOffsetBar, p[1])) return false;
             o.offsetPositions = p;
             return true;
         }},
        {"--zoom",
         [](RenderOptions& o, const std::string& v) {
             long long steps = 0;
             if (!ParseInt(v, -kRangeBar.maximum, kRangeBar.maximum, steps)) return false;
             o.zoomSteps = static_cast<int>(steps);
             return true;
         }},
        {"--z0",
         [](RenderOptions& o, const std::string& v) {
             float d = 0.0f;
             if (!ParseFloat(v, d) || d <= 0.0f) return false;
             o.z0 = d;
             return true;
         }},
    });
}

void AddColourOptions(ValuedMap& options) {
    options.insert({
        {"--background",
         [](RenderOptions& o, const std::string& v) {
             return ParseColour(v, o.view.backgroundColor);
         }},
        {"--text-color",
         [](RenderOptions& o, const std::string& v) { return ParseColour(v, o.view.textColor); }},
        {"--dot-color",
         [](RenderOptions& o, const std::string& v) { return ParseColour(v, o.view.dotColor); }},
        {"--line-color",
         [](RenderOptions& o, const std::string& v) { return ParseColour(v, o.view.lineColor); }},
        {"--grid-color",
         [](RenderOptions& o, const std::string& v) { return ParseColour(v, o.view.gridColor); }},
        {"--colour-by", [](RenderOptions& o, const std::string& v) { return ParseColourBy(v, o); }},
        {"--colour-map",
         [](RenderOptions& o, const std::string& v) {
             const auto map = ChoiceFromName<ColourMapKind>(kColourMapNames, v);
             if (map) o.view.colourMap = *map;
             return map.has_value();
         }},
        {"--colour-range",
         [](RenderOptions& o, const std::string& v) {
             const std::size_t comma = v.find(',');
             double low = 0.0, high = 0.0;
             if (comma == std::string::npos ||
                 !ParseDouble(std::string_view(v).substr(0, comma), low) ||
                 !ParseDouble(std::string_view(v).substr(comma + 1), high) || !(low < high))
                 return false;
             o.view.colourRangeTyped = true;
             o.view.colourRangeMin = low;
             o.view.colourRangeMax = high;
             return true;
         }},
    });
}

void AddInputAndRunOptions(ValuedMap& options) {
    options.insert({
        {"--fields",
         [](RenderOptions& o, const std::string& v) {
             std::array<int, 4> f{};
             if (!ParseIntList(v, 0, 20, f)) return false;
             o.fields.XIndex = f[0];
             o.fields.YIndex = f[1];
             o.fields.ZIndex = f[2];
             o.fields.DotIndex = f[3];
             return true;
         }},
        {"--sample",
         [](RenderOptions& o, const std::string& v) {
             float percent = 0.0f;
             if (!ParseFloat(v, percent) || percent < 0.0f || percent > 100.0f) return false;
             o.fields.SubSampleEnabled = true;
             o.fields.SamplePercent = percent;
             return true;
         }},
        {"--max-records",
         [](RenderOptions& o, const std::string& v) {
             return SetInt(o.fields.RecordLimit, v, 1, kLargestRecordLimit);
         }},
        {"--seed",
         [](RenderOptions& o, const std::string& v) {
             long long seed = 0;
             if (!ParseInt(v, 0, 0xFFFFFFFFLL, seed)) return false;
             o.seed = static_cast<std::uint32_t>(seed);
             return true;
         }},
        {"--frames",
         [](RenderOptions& o, const std::string& v) {
             long long frames = 0;
             if (!ParseInt(v, 1, 100000, frames)) return false;
             o.frames = static_cast<int>(frames);
             return true;
         }},
    });
}

const ValuedMap& ValuedOptions() {
    static const ValuedMap options = [] {
        ValuedMap all;
        AddOutputAndViewOptions(all);
        AddTitleOptions(all);
        AddScaleOptions(all);
        AddColourOptions(all);
        AddInputAndRunOptions(all);
        return all;
    }();
    return options;
}

}  // namespace

std::optional<RenderOptions> ParseRenderArguments(const std::vector<std::string>& arguments,
                                                  std::string& error) {
    RenderOptions options;
    bool optionsEnded = false;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            files.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = argument;
        std::optional<std::string> value;
        if (const std::size_t equals = argument.find('=');
            argument.starts_with("--") && equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
        }
        if (const auto flag = Flags().find(name); flag != Flags().end()) {
            if (value) {
                error = "option '" + name + "' takes no value";
                return std::nullopt;
            }
            flag->second(options);
            continue;
        }
        const auto valued = ValuedOptions().find(name);
        if (valued == ValuedOptions().end()) {
            error = "unknown option '" + name + "'";
            return std::nullopt;
        }
        if (!value) {
            if (i + 1 >= arguments.size()) {
                error = "option '" + name + "' needs a value";
                return std::nullopt;
            }
            value = arguments[++i];
        }
        if (!valued->second(options, *value)) {
            error = "malformed value '" + *value + "' for option '" + name + "'";
            if (name == "-o")
                error +=
                    " (the image name must end in .png or .bmp, or be - for standard output;"
                    " an animation's in .gif or .webp)";
            if (name == "--format") error += " (png or bmp)";
            if (name == "--eye-separation") error += " (0 to 2 in steps of 0.1)";
            if (name == "--step") error += " (a whole number of degrees that divides 360)";
            if (name == "--delay") error += " (milliseconds, 10 to 655350)";
            if (name == "--size")
                error += " (width and height from 1 to " + std::to_string(kMaxImageSide) + ")";
            if (name == "--max-records")
                error += " (a whole number from 1 to " + std::to_string(kLargestRecordLimit) + ")";
            return std::nullopt;
        }
    }
    if (options.help || options.version) return options;
    if (files.size() != 1) {
        error = files.empty() ? "no data file given" : "more than one data file given";
        return std::nullopt;
    }
    options.dataFile = files.front();
    if (!CheckOutput(options, error)) return std::nullopt;
    return options;
}

int OneToOneWidth(int height, ViewType view) {
    // As the button computes it: a 32-bit float, the factor 1.96 a 64-bit one.
    float h = static_cast<float>(height);
    if (view == ViewType::CrossEyes || view == ViewType::WallEyes) h = static_cast<float>(h * 1.96);
    return static_cast<int>(h * 1.0f);
}

std::string RenderUsage() {
    return R"(Usage: ocuvis-render [OPTION]... DATAFILE
Renders a data file (.3d, .txt, .csv, .xyz, .ply or .las) as the viewer would show it, into an
image, without a window.
Defaults are those of the viewer's first run; the scale is the one a load gives.

Output
  -o FILE                  image to write, PNG or BMP by extension (default ocuvis.png); a
                           link is followed to its file, and a folder, pipe or device is
                           refused; - writes the image to standard output, for pipes; with
                           --animate a GIF or WebP by extension (default ocuvis.gif)
  --format FORMAT          png or bmp: the format on standard output (default png); with a
                           FILE it must agree with the extension
  --size WxH               size of the paint area in pixels, each side 1..16384
                           (default 780x239)
  --one-to-one             the width follows the height as the viewer's 1:1 button sets it:
                           1.96 times the height for cross and wall, the height itself for
                           the other views
  --frames N               N images, each one azimuth degree further (wrapping from 180 to
                           -179); a printf-style %d in FILE takes the frame number, otherwise
                           the names get -0001 style numbers before the extension; with -o -
                           the images follow each other on standard output
  --animate KIND           one animated file instead of images: turntable (a whole turn
                           about the vertical axis, looping) or wiggle (the left and the
                           right eye's image alternating); lossless WebP or GIF
  --step DEG               turntable step in degrees, a divisor of 360 (default 2)
  --delay MS               time each frame shows, 10..655350 ms (default 40 for a
                           turntable, 150 for a wiggle; GIF keeps hundredths)
View
  --view TYPE              cross, wall, right-red, right-blue, single, red-cyan,
                           green-magenta, amber-blue, sbs-half, top-bottom or
                           top-bottom-half (default cross)
  --anaglyph METHOD        optimised (default) or plain: how red-cyan, green-magenta and
                           amber-blue mix the two eyes' colours
  --swap-eyes              exchange the left and the right eye's images in any stereo view
  --eye-separation F       distance of the eyes, 0..2 times the usual in steps of 0.1
                           (default 1; 0 gives both eyes the same image)
  --azimuth DEG            -180..180 (default 0)
  --elevation DEG          -180..180 (default 0)
  --range X,Y,Z            range positions 0..77 (default 21,21,21: scale 1)
  --offset X,Y,Z           offset positions, -20..20 for X and Y, -40..40 for Z (default 0,0,0)
  --zoom STEPS             wheel notches over the graph, -77..77: each moves the three range
                           positions one step together, up to their ends (default 0)
  --z0 D                   viewing distance, above 0 (default 16)
  --z-invert               invert the Z axis
What is drawn
  --points N               dot size 0..6 pixels (default 2; 0 draws no dots), or fine for
                           one-pixel dots and fine2 for 2x2 ones
  --lines N                connecting line width 0..3 (default 0: none)
  --grid N                 grid line width 0..3 (default 1; 0: no grid, labels or titles)
  --box                    the full box instead of the simple grid
  --axis-labels            numeric axis labels (need the grid)
  --titles                 the four titles (need the axis labels)
  --title-main TEXT, --title-x TEXT, --title-y TEXT, --title-z TEXT
                           the title texts
  --text-labels            the data file's text labels
  --fade                   lines fade from dark in front to pale at the back
  --depth-shade            dots shade from full colour in front towards the background at
                           the back
  --no-mode-indicator      leave out the 3D-X / 3D-W / 3D-Rred / 3D-Lred / 3D-RC ... text
Colours, each #RRGGBB
  --background, --text-color, --dot-color, --line-color, --grid-color
Colouring the points
  --colour-by WHAT         none (the dot colour), rgb (the file's own colours), x, y or z,
                           or a field number N whose values colour the dots and lines through
                           the colour map (default rgb: the file's colours when it has any)
  --colour-map MAP         viridis, diverging (blue-white-red), turbo or grey (default viridis)
  --colour-range MIN,MAX   the values at the map's ends, in data units (default the field's
                           smallest and largest); values beyond take the end colours
  --legend                 the colour map and its range at the image's right edge
Reading the file
  --fields X,Y,Z,DOT       field numbers of x, y, z and the dot size, 0 for none
                           (default 1,2,3,0)
  --sample PERCENT         keep only this share of the lines, chosen at random
  --seed N                 seed of that choice (default 0)
  --max-records N          read at most N records, 1..50000000 (default 49999)

  -h, --help               show this text
  --version                show the version

Shapes: x and y are each scaled to the image. With the default ranges and viewing distance
shapes are true when the width is 2.125 times the height for cross and wall (780x367) and
1.0625 times the height for the other views (425x400); --one-to-one comes within 8 % of that.
Axes: X runs to the right, Y up and Z toward the viewer (away with --z-invert). A scan whose Z
is up shows upright with --fields 1,3,2,0 --z-invert (without --z-invert it is mirrored).
Glasses: cross is a side-by-side pair for cross-eyed viewing and wall one for parallel
(wall-eyed) viewing or a stereo viewer, both without glasses; right-red is for red/blue or
red/cyan glasses with the red filter over the right eye, right-blue for the red filter over the
left eye, as most red/cyan glasses have it; single is one view, not in stereo.
red-cyan, green-magenta and amber-blue are for glasses with the first colour over the left
eye, each eye drawn whole and mixed per pixel. sbs-half (each eye squeezed to half the width,
left eye left), top-bottom (left eye on top) and top-bottom-half (each eye squeezed to half the
height) are for 3D TVs, projectors and headsets; the image keeps its --size.

Exit status: 0 when the image was written (a file of fewer than two records draws the
built-in data set, with a warning), 1 when the image could not be written, 2 for unknown or
malformed options, 3 when the data file could not be read (no image is written).
)";
}

std::string RenderVersion() {
    return "ocuvis-render " + std::string(kProjectVersion) + "\n";
}

}  // namespace ocuvis::cli
