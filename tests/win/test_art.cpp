#include "tests/win/test_art.h"

#include <windows.h>
#include <wincodec.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "tests/common/art_samples.h"
#include "tests/win/test_support.h"

namespace {

// A Unix path as Wine's drive Z: shows it.
std::string FromUnix(std::string path)
{
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return "Z:" + path;
}

}  // namespace

std::string TestArt(const std::string& name)
{
    std::string bytes;
    if (ReadWholeFile(FromUnix(MIRTH_SHARED_ART_DIR) + "\\" + name, bytes))
        return bytes;
    art_samples::Bytes made = name.find(".avb") != std::string::npos ? art_samples::ComplexCharacter(5)
                                                                      : art_samples::Backdrop();
    return std::string(made.begin(), made.end());
}

bool HaveMicrosoftArt()
{
    std::string bytes;
    return ReadWholeFile(FromUnix(MIRTH_SHARED_ART_DIR) + "\\scotty.avb", bytes);
}

std::string ArtServerFolder()
{
    return FromUnix(MIRTH_ART_SERVER_DIR);
}

std::string ArtServerAddress(const std::string& mode)
{
    std::string port;
    EXPECT_TRUE(ReadWholeFile(ArtServerFolder() + "\\port", port)) << "the art server is not running";
    return "http://127.0.0.1:" + port + "/" + mode + "/";
}

std::string ArtServerRequests()
{
    std::string log = ArtServerFolder() + "\\requests";
    std::string requests;
    ReadWholeFile(log, requests);
    DeleteFileA(log.c_str());
    return requests;
}

void InstallTestArt(const std::string& folder)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* name : {"scotty.avb", "lance.avb", "margaret.avb", "den.bgb", "room.bgb"})
        ASSERT_TRUE(WriteWholeFile(folder + "\\" + name, TestArt(name))) << name;
}

// Decodes a picture file with WIC; false (with the reason) when it can't.
bool Decode(const std::string& path, Picture& picture, std::string& error)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    std::wstring wide(path.begin(), path.end());
    UINT width = 0, height = 0;
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, reinterpret_cast<void**>(&factory));
    if (SUCCEEDED(result))
        result = factory->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ,
                                                    WICDecodeMetadataCacheOnDemand, &decoder);
    if (SUCCEEDED(result))
        result = decoder->GetFrame(0, &frame);
    if (SUCCEEDED(result))
        result = factory->CreateFormatConverter(&converter);
    if (SUCCEEDED(result))
        result = converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                       WICBitmapPaletteTypeCustom);
    if (SUCCEEDED(result))
        result = converter->GetSize(&width, &height);
    if (SUCCEEDED(result)) {
        picture.width = static_cast<int>(width);
        picture.height = static_cast<int>(height);
        picture.bgra.resize(static_cast<size_t>(width) * height * 4);
        result = converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(picture.bgra.size()), picture.bgra.data());
    }
    for (IUnknown* object : std::vector<IUnknown*>{converter, frame, decoder, factory})
        if (object)
            object->Release();
    CoUninitialize();
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    error = path + ": " + code;
    return SUCCEEDED(result);
}
