#include "strip/png_file.h"

#include <windows.h>
#include <wincodec.h>

#include <cstdio>
#include <vector>

#include "app/wide_text.h"
#include "strip/palette.h"

namespace {

// Rows go to the encoder a band at a time: as palette entries, or converted to
// 24 bits when the encoder takes no palette (PNG encoders of every Windows
// take 24bppBGR).
const int kBandRows = 64;

template <typename Interface>
void Release(Interface*& object)
{
    if (object)
        object->Release();
    object = nullptr;
}

HRESULT WriteRows(IWICBitmapFrameEncode* frame, const uint8_t* bgrx, int width, int height, int stride)
{
    UINT rowBytes = static_cast<UINT>(width) * 3;
    std::vector<uint8_t> band(static_cast<size_t>(rowBytes) * kBandRows);
    for (int top = 0; top < height; top += kBandRows) {
        int rows = height - top < kBandRows ? height - top : kBandRows;
        for (int y = 0; y < rows; ++y) {
            const uint8_t* from = bgrx + static_cast<size_t>(top + y) * stride;
            uint8_t* to = band.data() + static_cast<size_t>(y) * rowBytes;
            for (int x = 0; x < width; ++x, from += 4, to += 3) {
                to[0] = from[0];
                to[1] = from[1];
                to[2] = from[2];
            }
        }
        HRESULT result = frame->WritePixels(rows, rowBytes, rowBytes * rows, band.data());
        if (FAILED(result))
            return result;
    }
    return S_OK;
}

HRESULT WriteEntries(IWICBitmapFrameEncode* frame, const PictureColours& colours, const uint8_t* bgrx, int width,
                     int height, int stride)
{
    UINT rowBytes = static_cast<UINT>(width);
    std::vector<uint8_t> band(static_cast<size_t>(rowBytes) * kBandRows);
    for (int top = 0; top < height; top += kBandRows) {
        int rows = height - top < kBandRows ? height - top : kBandRows;
        for (int y = 0; y < rows; ++y)
            MapToPalette(colours, bgrx + static_cast<size_t>(top + y) * stride, width,
                         band.data() + static_cast<size_t>(y) * rowBytes);
        HRESULT result = frame->WritePixels(rows, rowBytes, rowBytes * rows, band.data());
        if (FAILED(result))
            return result;
    }
    return S_OK;
}

// A palette of the picture's own colours: a strip's PNG is then a fraction
// of its 24-bit size. The frame takes it before its pixels.
HRESULT SetPalette(IWICImagingFactory* factory, IWICBitmapFrameEncode* frame, const PictureColours& colours)
{
    std::vector<WICColor> entries;
    for (uint32_t colour : colours.palette)
        entries.push_back(0xFF000000u | colour);
    IWICPalette* palette = nullptr;
    HRESULT result = factory->CreatePalette(&palette);
    if (SUCCEEDED(result))
        result = palette->InitializeCustom(entries.data(), static_cast<UINT>(entries.size()));
    if (SUCCEEDED(result))
        result = frame->SetPalette(palette);
    Release(palette);
    return result;
}

HRESULT Encode(const std::string& path, const uint8_t* bgrx, int width, int height, int stride)
{
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    WICPixelFormatGUID format = GUID_WICPixelFormat8bppIndexed;
    PictureColours colours = ChoosePictureColours(bgrx, width, height, stride);
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                      reinterpret_cast<void**>(&factory));
    if (SUCCEEDED(result))
        result = factory->CreateStream(&stream);
    if (SUCCEEDED(result))
        result = stream->InitializeFromFilename(WideFromAnsi(path).c_str(), GENERIC_WRITE);
    if (SUCCEEDED(result))
        result = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(result))
        result = encoder->Initialize(stream, WICBitmapEncoderNoCache);
    if (SUCCEEDED(result))
        result = encoder->CreateNewFrame(&frame, nullptr);
    if (SUCCEEDED(result))
        result = frame->Initialize(nullptr);
    if (SUCCEEDED(result))
        result = frame->SetSize(width, height);
    if (SUCCEEDED(result))
        result = frame->SetPixelFormat(&format);
    bool indexed = SUCCEEDED(result) && format == GUID_WICPixelFormat8bppIndexed &&
                   SUCCEEDED(SetPalette(factory, frame, colours));
    if (SUCCEEDED(result) && !indexed) {
        format = GUID_WICPixelFormat24bppBGR;
        result = frame->SetPixelFormat(&format);
        if (SUCCEEDED(result) && format != GUID_WICPixelFormat24bppBGR)
            result = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    }
    if (SUCCEEDED(result))
        result = indexed ? WriteEntries(frame, colours, bgrx, width, height, stride)
                         : WriteRows(frame, bgrx, width, height, stride);
    if (SUCCEEDED(result))
        result = frame->Commit();
    if (SUCCEEDED(result))
        result = encoder->Commit();
    Release(frame);
    Release(encoder);
    Release(stream);
    Release(factory);
    return result;
}

}  // namespace

bool WritePngFile(const std::string& path, const uint8_t* bgrx, int width, int height, int stride,
                  std::string& error)
{
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HRESULT result = Encode(path, bgrx, width, height, stride);
    if (SUCCEEDED(com))
        CoUninitialize();
    if (SUCCEEDED(result))
        return true;
    DeleteFileA(path.c_str());  // no half-written picture stays behind
    char code[32];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    error = code;
    return false;
}
