// The sample host as its users run it: signhost.exe signs by script through
// real input, saves, and the test reads back what it wrote: the PNG through
// the platform's decoder, the CSV against the strokes that were drawn.
#include "RunAsWindowsVersion.h"   // wintest::RunningProgram, ProgramFolder

#include <gtest/gtest.h>
#include <wincodec.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace {

// --- running signhost.exe -----------------------------------------------------

wintest::ProgramResult RunSignhost(const std::wstring& arguments, DWORD timeoutMs = 60000)
{
    return wintest::RunProgram(wintest::ProgramFolder() + L"signhost.exe", arguments, timeoutMs);
}

// A folder of its own for each test, removed with its files afterwards.
class TempFolder {
public:
    TempFolder()
    {
        wchar_t base[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, base);
        path_ = std::wstring(base) + L"signhost-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount());
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder()
    {
        WIN32_FIND_DATAW entry;
        const HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileW((path_ + L"\\" + entry.cFileName).c_str());
            } while (FindNextFileW(search, &entry));
            FindClose(search);
        }
        RemoveDirectoryW(path_.c_str());
    }
    std::wstring file(const wchar_t* name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteText(const std::wstring& path, const std::string& text)
{
    std::FILE* file = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

std::string ReadText(const std::wstring& path)
{
    std::string text;
    std::FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return text;
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, got);
    std::fclose(file);
    return text;
}

// --- what signhost wrote ------------------------------------------------------

struct Image {
    UINT width = 0;
    UINT height = 0;
    std::vector<BYTE> bgra;   // top-down

    int red(UINT x, UINT y) const { return bgra[(y * width + x) * 4 + 2]; }
    int green(UINT x, UINT y) const { return bgra[(y * width + x) * 4 + 1]; }
    int blue(UINT x, UINT y) const { return bgra[(y * width + x) * 4]; }
    bool isWhite(UINT x, UINT y) const { return red(x, y) >= 250 && green(x, y) >= 250 && blue(x, y) >= 250; }
};

template <typename Interface>
struct ComRelease {
    Interface* pointer = nullptr;
    ~ComRelease()
    {
        if (pointer)
            pointer->Release();
    }
};

// Decodes a PNG with the platform's own decoder; an empty image on failure.
Image DecodePng(const std::wstring& path)
{
    Image image;
    const bool comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    {
        ComRelease<IWICImagingFactory> factory;
        ComRelease<IWICBitmapDecoder> decoder;
        ComRelease<IWICBitmapFrameDecode> frame;
        ComRelease<IWICFormatConverter> converter;
        GUID container{};
        if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_PPV_ARGS(&factory.pointer))) &&
            SUCCEEDED(factory.pointer->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                                 WICDecodeMetadataCacheOnDemand, &decoder.pointer)) &&
            SUCCEEDED(decoder.pointer->GetContainerFormat(&container)) && container == GUID_ContainerFormatPng &&
            SUCCEEDED(decoder.pointer->GetFrame(0, &frame.pointer)) &&
            SUCCEEDED(factory.pointer->CreateFormatConverter(&converter.pointer)) &&
            SUCCEEDED(converter.pointer->Initialize(frame.pointer, GUID_WICPixelFormat32bppBGRA,
                                                    WICBitmapDitherTypeNone, nullptr, 0,
                                                    WICBitmapPaletteTypeCustom)) &&
            SUCCEEDED(frame.pointer->GetSize(&image.width, &image.height))) {
            image.bgra.resize(static_cast<std::size_t>(image.width) * image.height * 4);
            if (FAILED(converter.pointer->CopyPixels(nullptr, image.width * 4, static_cast<UINT>(image.bgra.size()),
                                                     image.bgra.data())))
                image = Image{};
        }
    }
    if (comStarted)
        CoUninitialize();
    return image;
}

struct PathPoint {
    float x = 0;
    float y = 0;
    float pressure = 0;
    unsigned time = 0;
    unsigned flags = 0;
};

// The CSV's rows; `header` receives its first line.
std::vector<PathPoint> ReadPoints(const std::wstring& path, std::string& header)
{
    std::vector<PathPoint> points;
    std::istringstream text(ReadText(path));
    std::getline(text, header);
    std::string line;
    while (std::getline(text, line)) {
        PathPoint point;
        if (std::sscanf(line.c_str(), "%f,%f,%f,%u,%u", &point.x, &point.y, &point.pressure, &point.time,
                        &point.flags) == 5)
            points.push_back(point);
        else
            ADD_FAILURE() << "not a point: " << line;
    }
    return points;
}

// "saved image WxH+L+T path" and "saved points N path".
struct SavedImage {
    int width = -1, height = -1, left = -1, top = -1;
};

SavedImage ReportedImage(const std::string& output)
{
    SavedImage image;
    const std::size_t at = output.find("saved image ");
    if (at != std::string::npos)
        std::sscanf(output.c_str() + at, "saved image %dx%d+%d+%d", &image.width, &image.height, &image.left,
                    &image.top);
    return image;
}

int ReportedPointCount(const std::string& output)
{
    int count = -1;
    const std::size_t at = output.find("saved points ");
    if (at != std::string::npos)
        std::sscanf(output.c_str() + at, "saved points %d", &count);
    return count;
}

// --- the strokes drawn ----------------------------------------------------------

using Stroke = std::vector<POINT>;

Stroke Line(POINT from, POINT to, int steps)
{
    Stroke stroke;
    for (int i = 0; i <= steps; ++i)
        stroke.push_back(POINT{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
    return stroke;
}

std::string ScriptText(const std::vector<Stroke>& strokes)
{
    std::string text = "# strokes in canvas client pixels\n";
    for (const Stroke& stroke : strokes) {
        for (const POINT& point : stroke)
            text += std::to_string(point.x) + "," + std::to_string(point.y) + "\n";
        text += "\n";
    }
    return text;
}

double DistanceToSegment(double x, double y, POINT a, POINT b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(x - (a.x + t * dx), y - (a.y + t * dy));
}

double DistanceToStrokes(double x, double y, const std::vector<Stroke>& strokes)
{
    double nearest = 1e9;
    for (const Stroke& stroke : strokes) {
        for (std::size_t i = 0; i + 1 < stroke.size(); ++i)
            nearest = std::min(nearest, DistanceToSegment(x, y, stroke[i], stroke[i + 1]));
        if (stroke.size() == 1)
            nearest = std::min(nearest, std::hypot(x - stroke[0].x, y - stroke[0].y));
    }
    return nearest;
}

std::wstring Arg(const std::wstring& path)
{
    return L"\"" + path + L"\"";
}

// --- tests ------------------------------------------------------------------------

TEST(SignHost, SavesTheSignatureAsACroppedPngAndItsPoints)
{
    const TempFolder folder;
    const std::vector<Stroke> strokes = {Line({60, 90}, {300, 90}, 30), Line({140, 40}, {220, 170}, 20)};
    WriteText(folder.file(L"strokes.txt"), ScriptText(strokes));
    const int penWidth = 6;
    const wintest::ProgramResult run = RunSignhost(L"--draw " + Arg(folder.file(L"strokes.txt")) + L" --png " +
                                      Arg(folder.file(L"sig.png")) + L" --csv " + Arg(folder.file(L"sig.csv")) +
                                      L" --pen-width 6 --pen-color 1F3A93");
    ASSERT_TRUE(run.finished) << run.output;
    ASSERT_EQ(run.exitCode, 0u) << run.output;

    std::string header;
    const std::vector<PathPoint> points = ReadPoints(folder.file(L"sig.csv"), header);
    EXPECT_EQ(header, "x,y,pressure,time,flags\r");
    ASSERT_FALSE(points.empty());
    EXPECT_EQ(static_cast<int>(points.size()), ReportedPointCount(run.output)) << run.output;

    // The points are the strokes drawn: two of them, in order, each point
    // on the path the mouse took, with mouse pressures and rising times.
    int begins = 0;
    int ends = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const PathPoint& point = points[i];
        begins += (point.flags & 1) != 0;
        ends += (point.flags & 2) != 0;
        EXPECT_LE(DistanceToStrokes(point.x, point.y, strokes), 2.0) << "point " << i << ": " << point.x << ","
                                                                      << point.y;
        EXPECT_GE(point.pressure, 0.0f) << "point " << i;
        EXPECT_LE(point.pressure, 1.2f) << "point " << i;
        if (i > 0) {
            EXPECT_GE(point.time, points[i - 1].time) << "point " << i;
        }
    }
    EXPECT_EQ(points.front().flags & 1, 1u);
    EXPECT_EQ(begins, 2);
    EXPECT_EQ(ends, 2);
    EXPECT_LE(std::hypot(points.front().x - 60, points.front().y - 90), 3.0);

    // The image: the drawn rectangle (grown by the pen width), decoded by
    // the platform, blue ink under every point and white around it.
    const SavedImage reported = ReportedImage(run.output);
    const Image image = DecodePng(folder.file(L"sig.png"));
    ASSERT_GT(image.width, 0u) << "the PNG does not decode";
    EXPECT_EQ(static_cast<int>(image.width), reported.width);
    EXPECT_EQ(static_cast<int>(image.height), reported.height);
    float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
    for (const PathPoint& point : points) {
        minX = std::min(minX, point.x);
        minY = std::min(minY, point.y);
        maxX = std::max(maxX, point.x);
        maxY = std::max(maxY, point.y);
    }
    EXPECT_NEAR(reported.left, minX - penWidth, 2.0);
    EXPECT_NEAR(reported.top, minY - penWidth, 2.0);
    EXPECT_NEAR(reported.left + reported.width, maxX + penWidth, 2.0);
    EXPECT_NEAR(reported.top + reported.height, maxY + penWidth, 2.0);

    int inked = 0;
    for (const PathPoint& point : points) {
        const int x = static_cast<int>(std::lround(point.x)) - reported.left;
        const int y = static_cast<int>(std::lround(point.y)) - reported.top;
        ASSERT_TRUE(x >= 0 && y >= 0 && x < static_cast<int>(image.width) && y < static_cast<int>(image.height));
        const bool blueInk = image.blue(x, y) > image.red(x, y) + 20 && image.red(x, y) < 200;
        inked += blueInk;
    }
    // A stroke's lifting end fades out: nearly all points, not all, are dark.
    EXPECT_GE(inked * 10, static_cast<int>(points.size()) * 9) << inked << " of " << points.size();
    EXPECT_TRUE(image.isWhite(0, 0));
    EXPECT_TRUE(image.isWhite(image.width - 1, 0));
    EXPECT_TRUE(image.isWhite(0, image.height - 1));
    EXPECT_TRUE(image.isWhite(image.width - 1, image.height - 1));
}

TEST(SignHost, TheSampleSignatureAndAScreenshotOfTheWindow)
{
    const TempFolder folder;
    const wintest::ProgramResult run = RunSignhost(L"--draw sample --png " + Arg(folder.file(L"sig.png")) + L" --csv " +
                                      Arg(folder.file(L"sig.csv")) + L" --screenshot " +
                                      Arg(folder.file(L"window.png")));
    ASSERT_TRUE(run.finished) << run.output;
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    std::string header;
    const std::vector<PathPoint> points = ReadPoints(folder.file(L"sig.csv"), header);
    // Handwriting, underline and a dot; a machine too loaded to see the
    // short click of the dot may miss it.
    const auto strokes = std::count_if(points.begin(), points.end(), [](const PathPoint& p) { return (p.flags & 1) != 0; });
    EXPECT_GE(strokes, 2);
    EXPECT_LE(strokes, 3);
    const Image signature = DecodePng(folder.file(L"sig.png"));
    EXPECT_GT(signature.width, 300u);
    const Image window = DecodePng(folder.file(L"window.png"));
    EXPECT_EQ(window.width, 640u);   // the window's client area
    EXPECT_EQ(window.height, 380u);
}

TEST(SignHost, NothingDrawnSavesNothing)
{
    const TempFolder folder;
    WriteText(folder.file(L"empty.txt"), "# no strokes\n");
    const wintest::ProgramResult run = RunSignhost(L"--draw " + Arg(folder.file(L"empty.txt")) + L" --png " +
                                      Arg(folder.file(L"sig.png")) + L" --csv " + Arg(folder.file(L"sig.csv")));
    ASSERT_TRUE(run.finished) << run.output;
    EXPECT_EQ(run.exitCode, 1u) << run.output;
    EXPECT_NE(run.output.find("nothing to save"), std::string::npos) << run.output;
    EXPECT_FALSE(Exists(folder.file(L"sig.png")));
    EXPECT_FALSE(Exists(folder.file(L"sig.csv")));
}

TEST(SignHost, AFailedSaveLeavesNeitherFile)
{
    const TempFolder folder;
    WriteText(folder.file(L"line.txt"), ScriptText({Line({60, 90}, {160, 90}, 10)}));
    // The CSV cannot be written: the PNG written first must go again.
    const wintest::ProgramResult run = RunSignhost(L"--draw " + Arg(folder.file(L"line.txt")) + L" --png " +
                                      Arg(folder.file(L"sig.png")) + L" --csv " +
                                      Arg(folder.file(L"missing\\sig.csv")));
    ASSERT_TRUE(run.finished) << run.output;
    EXPECT_EQ(run.exitCode, 1u) << run.output;
    EXPECT_NE(run.output.find("not saved"), std::string::npos) << run.output;
    EXPECT_FALSE(Exists(folder.file(L"sig.png")));
}

TEST(SignHost, ABadCommandLineExitsWithUsage)
{
    for (const wchar_t* arguments : {L"--pen-width 0", L"--pen-color blue", L"--frobnicate", L"--png",
                                     L"--screenshot x.png"}) {
        const wintest::ProgramResult run = RunSignhost(arguments, 20000);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 2u) << arguments;
        EXPECT_NE(run.output.find("signhost [--png FILE]"), std::string::npos) << run.output;
    }
}

}  // namespace
