// Times drawing a large JPEG map into a 480 x 640 view: the first draw (the picture decoded
// whole when the first view attaches), the strip render of the view's rectangle that serves
// when no whole picture can be held, a pan inside the cached rectangle, and libjpeg-turbo's own
// decode of the whole picture.
//   scripts/wine-run.sh build/bin/map_bench.exe [width height]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "maps/jpeg_decoder.h"
#include "maps/tiled_map.h"
#include "views/tracking_view.h"

namespace {

constexpr int kViewWidth = 480;
constexpr int kViewHeight = 640;
constexpr int32_t kPerPixel = 1000; // 10^-8 radian per map pixel

double Milliseconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// A picture with detail everywhere, so that the decoder does real work.
bool WriteJpeg(const wchar_t* path, int width, int height) {
    FILE* file = _wfopen(path, L"wb");
    if (!file)
        return false;
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 85, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(size_t(width) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            row[3 * x] = uint8_t(x * 7 + y);
            row[3 * x + 1] = uint8_t((x ^ y) * 3);
            row[3 * x + 2] = uint8_t(y * 5 - x);
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    fclose(file);
    return true;
}

void Calibrate(TiledMap& map) {
    map.SetRefPixel(0, POINT{0, 0});
    map.SetRefCoord(0, 10000000, 1000000);
    map.SetRefPixel(1, POINT{map.width, map.height});
    map.SetRefCoord(1, 10000000 + map.width * kPerPixel, 1000000 + map.height * kPerPixel);
    map.Calibrate();
}

} // namespace

int main(int argc, char** argv) {
    const int width = argc > 2 ? atoi(argv[1]) : 8000;
    const int height = argc > 2 ? atoi(argv[2]) : 6000;
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + L"map_bench.jpg";
    auto start = std::chrono::steady_clock::now();
    if (!WriteJpeg(path.c_str(), width, height)) {
        fprintf(stderr, "cannot write the picture\n");
        return 1;
    }
    printf("%-44s %9.1f ms\n", "writing the test picture (not measured)", Milliseconds(start));

    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader = {
        sizeof(BITMAPINFOHEADER), kViewWidth, -kViewHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP surface = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, surface);

    TiledMap map;
    map.SetPath(path.c_str());
    map.wholeFile = 0;
    map.OpenPicture(path.c_str(), true);
    map.ClosePicture();
    map.opened = 1;
    map.SetVisible(1, true);
    Calibrate(map);
    TrackingView view;
    view.width = kViewWidth;
    view.height = kViewHeight;
    view.paintDc = dc;
    view.currentMap = &map;
    view.position.scale = map.nativeScale;
    view.SetCentre(10000000 + width / 2 * kPerPixel, 1000000 + height / 2 * kPerPixel);

    start = std::chrono::steady_clock::now();
    map.AddUser(nullptr, &view);
    map.Draw(&view);
    printf("%-44s %9.1f ms\n", "first draw (whole picture decoded)", Milliseconds(start));

    start = std::chrono::steady_clock::now();
    const int pans = 20;
    for (int i = 0; i < pans; ++i) {
        view.SetCentre(view.position.centreLongitude + 25 * kPerPixel,
                       view.position.centreLatitude - 10 * kPerPixel);
        map.Draw(&view);
    }
    printf("%-44s %9.2f ms per pan\n", "pan inside the cached rectangle",
           Milliseconds(start) / pans);

    // Without a whole picture (no memory for it) the view's rectangle is rendered in strips.
    PictureRect rect = map.VisiblePictureRect(&view, RECT{0, 0, kViewWidth, kViewHeight});
    TiledMap strips;
    strips.SetPath(path.c_str());
    strips.width = width;
    strips.height = height;
    start = std::chrono::steady_clock::now();
    strips.Render(dc, path.c_str(), &rect, nullptr);
    printf("%-44s %9.1f ms\n", "strip render of the view's rectangle", Milliseconds(start));

    start = std::chrono::steady_clock::now();
    HBITMAP whole = DecodeJpegFile(path.c_str());
    printf("%-44s %9.1f ms\n", "libjpeg-turbo decode of the whole picture", Milliseconds(start));
    if (whole)
        DeleteObject(whole);

    map.RemoveUser(&view);
    SelectObject(dc, old);
    DeleteObject(surface);
    DeleteDC(dc);
    DeleteFileW(path.c_str());
    return 0;
}
