// The map of the tiled picture containers: the program's own TKM files and the TKP and QMP
// containers. Only the tiles that cover a requested rectangle are decoded.
#pragma once
#include <windows.h>

#include <functional>
#include <mutex>
#include <vector>

#include "maps/tiled_map.h"
#include "maps/tkm_file.h"

class IImagingFactory;

class ImageMap : public TiledMap {
public:
    ImageMap();
    ~ImageMap() override;

    // Moves the file to the new name within its folder and shows that name.
    void SetName(const wchar_t* name) override;
    void AddUser(HDC context, View* user) override;
    bool RemoveUser(View* user) override;
    void Render(HDC dc, const wchar_t* picturePath, PictureRect* rect,
                volatile LONG* abort) override;
    // Writes the map as a TKM file; failures are reported and leave no partial file.
    bool SaveAsTkm(const wchar_t* target, int pictureWidth, int pictureHeight, int tileW, int tileH,
                   Projection* tileProjection, const wchar_t* displayName) override;

    int Open(const wchar_t* file);       // 0 on success, else 1
    int ReadHeader(const wchar_t* file); // 0 on success, else 1
    int OpenTkp(const wchar_t* file);
    int OpenQmp(const wchar_t* file);
    bool WriteVisibleFlag();

    IImagingFactory* factory = nullptr;
    int32_t tileWidth = 0;
    int32_t tileHeight = 0;
    int32_t columns = 0;
    int32_t rows = 0;
    int32_t tileCount = 0;
    uint32_t largestTile = 0;
    std::vector<TkmTileEntry> tiles;
    std::vector<RGBQUAD> palette;
    int64_t tileDataStart = 0;
    int32_t word13 = 0, word15 = 0, word262 = 0;
    uint16_t pair261[2] = {0, 0};
    // Told the share of tiles written, 0 to 100, while a TKM file is written.
    std::function<void(int percent)> progress;

protected:
    void StoreFileState() override;

private:
    void StartOpening(const wchar_t* file, int32_t whole);
    bool WriteTiles(TkmFileWriter& out, int32_t pictureWidth, int32_t pictureHeight, int32_t tileW,
                    int32_t tileH);
    void ReleaseFactory();

    std::mutex renderLock_;
};

// Compresses a tile of the rendered 24-bit picture (bottom-up DIB of dibWidth x dibHeight) as
// JPEG at the writer's position: the tile of width x height whose top-left pixel is at (x, y)
// counted from the top of the picture. Returns the bytes written, -1 on failure.
int32_t CompressTile(TkmFileWriter& out, const uint8_t* dibBits, int dibWidth, int dibHeight, int x,
                     int y, int width, int height);
