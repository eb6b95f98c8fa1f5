#include "PngFile.h"

#include <windows.h>

#include <wincodec.h>

#include <cstring>

namespace {

// Releases a COM interface when it goes out of scope.
template <typename T>
struct ComRef {
    T* p = nullptr;
    ~ComRef()
    {
        if (p)
            p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

// COM for this thread, once; the capture runs on one thread.
bool StartCom()
{
    static const HRESULT s_result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    return SUCCEEDED(s_result) || s_result == RPC_E_CHANGED_MODE;
}

bool MakeFactory(ComRef<IWICImagingFactory>& factory)
{
    return StartCom() && SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                                    IID_IWICImagingFactory, reinterpret_cast<void**>(&factory)));
}

std::wstring Widen(const std::string& text)
{
    const int count = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (count <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], count);
    wide.resize(static_cast<size_t>(count) - 1);
    return wide;
}

}  // namespace

bool WritePng(const std::string& path, const uint32_t* argb, int width, int height)
{
    if (!argb || width <= 0 || height <= 0)
        return false;
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapEncoder> encoder;
    ComRef<IWICBitmapFrameEncode> frame;
    const std::wstring widePath = Widen(path);
    if (widePath.empty() || !MakeFactory(factory) || FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromFilename(widePath.c_str(), GENERIC_WRITE)) ||
        FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) ||
        FAILED(encoder->Initialize(stream.p, WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(&frame, nullptr)) || FAILED(frame->Initialize(nullptr)) ||
        FAILED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))))
        return false;
    // Rows of B, G, R bytes: the encoder's 24-bit format.
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(frame->SetPixelFormat(&format)) || !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
        return false;
    const UINT stride = static_cast<UINT>(width) * 3;
    std::vector<BYTE> row(stride);
    for (int y = 0; y < height; ++y) {
        const uint32_t* source = argb + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            row[x * 3 + 0] = static_cast<BYTE>(source[x]);
            row[x * 3 + 1] = static_cast<BYTE>(source[x] >> 8);
            row[x * 3 + 2] = static_cast<BYTE>(source[x] >> 16);
        }
        if (FAILED(frame->WritePixels(1, stride, stride, row.data())))
            return false;
    }
    return SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

bool ReadPng(const std::string& path, std::vector<uint32_t>& argb, int& width, int& height)
{
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    ComRef<IWICFormatConverter> converter;
    const std::wstring widePath = Widen(path);
    GUID container = {};
    if (widePath.empty() || !MakeFactory(factory) ||
        FAILED(factory->CreateDecoderFromFilename(widePath.c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetContainerFormat(&container)) || !IsEqualGUID(container, GUID_ContainerFormatPng) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return false;
    UINT w = 0, h = 0;
    if (FAILED(converter->GetSize(&w, &h)) || w == 0 || h == 0 || w > 16384 || h > 16384)
        return false;
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    if (FAILED(converter->CopyPixels(nullptr, w * 4, w * h * 4, reinterpret_cast<BYTE*>(pixels.data()))))
        return false;
    for (uint32_t& p : pixels)
        p |= 0xFF000000u;
    argb.swap(pixels);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}
