#include "controls/RichMemoPictures.h"

#include "framework/Handles.h"

#include <shellapi.h>
#include <wincodec.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <vector>

namespace {

constexpr int kTwipsPerInch = 1440, kHimetricPerInch = 2540, kPixelsPerInch = 96;

struct Medium {
    STGMEDIUM m{};
    bool ok = false;
    Medium(IDataObject& data, CLIPFORMAT format, DWORD tymed)
    {
        FORMATETC wanted{format, nullptr, DVASPECT_CONTENT, -1, tymed};
        ok = SUCCEEDED(data.GetData(&wanted, &m));
    }
    ~Medium()
    {
        if (ok)
            ReleaseStgMedium(&m);
    }
    Medium(const Medium&) = delete;
    Medium& operator=(const Medium&) = delete;
};

std::string GlobalBytes(HGLOBAL global)
{
    std::string bytes;
    if (const auto* p = static_cast<const char*>(GlobalLock(global))) {
        bytes.assign(p, GlobalSize(global));
        GlobalUnlock(global);
    }
    return bytes;
}

// A Windows metafile as a rich text picture of the given size in pixels.
std::string MetafileRtf(const std::string& metafile, SIZE pixels)
{
    static const char digits[] = "0123456789abcdef";
    std::string rtf = "{\\rtf1{\\pict\\wmetafile8\\picw" +
                      std::to_string(MulDiv(pixels.cx, kHimetricPerInch, kPixelsPerInch)) + "\\pich" +
                      std::to_string(MulDiv(pixels.cy, kHimetricPerInch, kPixelsPerInch)) + "\\picwgoal" +
                      std::to_string(MulDiv(pixels.cx, kTwipsPerInch, kPixelsPerInch)) + "\\pichgoal" +
                      std::to_string(MulDiv(pixels.cy, kTwipsPerInch, kPixelsPerInch)) + "\r\n";
    for (size_t i = 0; i < metafile.size(); ++i) {
        const auto byte = static_cast<unsigned char>(metafile[i]);
        rtf += digits[byte >> 4];
        rtf += digits[byte & 15];
        if (i % 64 == 63)
            rtf += "\r\n";
    }
    return rtf + "}}";
}

std::string MetafileBytes(HMETAFILE metafile)
{
    std::string bytes(GetMetaFileBitsEx(metafile, 0, nullptr), '\0');
    GetMetaFileBitsEx(metafile, static_cast<UINT>(bytes.size()), bytes.data());
    return bytes;
}

// The bitmap drawn into a metafile of its own size.
std::optional<std::string> DibRtf(const BITMAPINFO& info, const void* bits)
{
    const int width = info.bmiHeader.biWidth, height = std::abs(info.bmiHeader.biHeight);
    if (width <= 0 || height <= 0)
        return std::nullopt;
    HDC dc = CreateMetaFileA(nullptr);
    if (!dc)
        return std::nullopt;
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, width, height, nullptr);
    StretchDIBits(dc, 0, 0, width, height, 0, 0, width, height, bits, &info, DIB_RGB_COLORS, SRCCOPY);
    HMETAFILE metafile = CloseMetaFile(dc);
    if (!metafile)
        return std::nullopt;
    const std::string bytes = MetafileBytes(metafile);
    DeleteMetaFile(metafile);
    return MetafileRtf(bytes, {width, height});
}

// Pixels as 32-bit top-down rows.
std::optional<std::string> PixelsRtf(const std::vector<BYTE>& pixels, int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return DibRtf(info, pixels.data());
}

std::optional<std::string> BitmapRtf(HBITMAP bitmap)
{
    BITMAP header{};
    if (!GetObjectA(bitmap, sizeof(header), &header) || header.bmWidth <= 0 || header.bmHeight <= 0)
        return std::nullopt;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), header.bmWidth, -header.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<BYTE> pixels(static_cast<size_t>(header.bmWidth) * static_cast<size_t>(header.bmHeight) * 4);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(header.bmHeight), pixels.data(), &info,
                               DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows <= 0)
        return std::nullopt;
    return PixelsRtf(pixels, header.bmWidth, header.bmHeight);
}

// A packed device-independent bitmap: header, colour table, pixels.
std::optional<std::string> PackedDibRtf(const std::string& packed)
{
    if (packed.size() < sizeof(BITMAPINFOHEADER))
        return std::nullopt;
    const auto& header = *reinterpret_cast<const BITMAPINFOHEADER*>(packed.data());
    size_t colors = header.biClrUsed;
    if (colors == 0 && header.biBitCount <= 8)
        colors = size_t{1} << header.biBitCount;
    size_t offset = header.biSize + colors * sizeof(RGBQUAD);
    if (header.biSize == sizeof(BITMAPINFOHEADER) && header.biCompression == BI_BITFIELDS)
        offset += 3 * sizeof(DWORD);
    if (header.biSize < sizeof(BITMAPINFOHEADER) || offset >= packed.size())
        return std::nullopt;
    return DibRtf(*reinterpret_cast<const BITMAPINFO*>(packed.data()), packed.data() + offset);
}

// An encoded image (PNG, JPEG, anything the imaging component reads), decoded.
std::optional<std::string> EncodedImageRtf(const std::function<HRESULT(IWICImagingFactory&, IWICBitmapDecoder**)>& open)
{
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.put()))) ||
        FAILED(open(*factory.get(), decoder.put())) || FAILED(decoder->GetFrame(0, frame.put())) ||
        FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr,
                                     0.0, WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > 16384 || height > 16384)
        return std::nullopt;
    std::vector<BYTE> pixels(static_cast<size_t>(width) * height * 4);
    if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.size()), pixels.data())))
        return std::nullopt;
    return PixelsRtf(pixels, static_cast<int>(width), static_cast<int>(height));
}

std::optional<std::string> EncodedBytesRtf(const std::string& bytes)
{
    return EncodedImageRtf([&](IWICImagingFactory& factory, IWICBitmapDecoder** decoder) {
        ComPtr<IWICStream> stream;
        HRESULT hr = factory.CreateStream(stream.put());
        if (SUCCEEDED(hr))
            hr = stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                              static_cast<DWORD>(bytes.size()));
        if (SUCCEEDED(hr))
            hr = factory.CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder);
        return hr;
    });
}

// The one dropped file, when it is an image file; empty otherwise.
std::wstring DroppedImageFile(HGLOBAL drop)
{
    auto* files = static_cast<HDROP>(drop);
    if (DragQueryFileW(files, 0xFFFFFFFF, nullptr, 0) != 1)
        return {};
    std::wstring path(DragQueryFileW(files, 0, nullptr, 0) + 1, L'\0');
    path.resize(DragQueryFileW(files, 0, path.data(), static_cast<UINT>(path.size())));
    // Only the extension counts, and it is ASCII.
    std::string narrow;
    for (wchar_t c : path)
        narrow += c < 0x80 ? static_cast<char>(c) : '_';
    return IsImageFileName(narrow) ? path : std::wstring();
}

std::optional<std::string> DroppedImageRtf(HGLOBAL drop)
{
    const std::wstring path = DroppedImageFile(drop);
    if (path.empty())
        return std::nullopt;
    return EncodedImageRtf([&](IWICImagingFactory& factory, IWICBitmapDecoder** decoder) {
        return factory.CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                 decoder);
    });
}

} // namespace

CLIPFORMAT PngFormat()
{
    static const auto format = static_cast<CLIPFORMAT>(RegisterClipboardFormatA("PNG"));
    return format;
}

CLIPFORMAT JpegFormat()
{
    static const auto format = static_cast<CLIPFORMAT>(RegisterClipboardFormatA("JFIF"));
    return format;
}

bool IsImageFileName(const std::string& path)
{
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || path.find_first_of("\\/", dot) != std::string::npos)
        return false;
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* image : {"png", "jpg", "jpeg", "jpe", "jfif", "bmp", "dib", "gif", "tif", "tiff"})
        if (extension == image)
            return true;
    return false;
}

bool OffersImageFile(IDataObject& data)
{
    Medium medium(data, CF_HDROP, TYMED_HGLOBAL);
    return medium.ok && !DroppedImageFile(medium.m.hGlobal).empty();
}

std::optional<std::string> PictureRtf(IDataObject& data, CLIPFORMAT format)
{
    switch (format) {
    case CF_BITMAP: {
        Medium medium(data, format, TYMED_GDI);
        return medium.ok ? BitmapRtf(medium.m.hBitmap) : std::nullopt;
    }
    case CF_ENHMETAFILE: {
        Medium medium(data, format, TYMED_ENHMF);
        if (!medium.ok)
            return std::nullopt;
        ENHMETAHEADER header{};
        GetEnhMetaFileHeader(medium.m.hEnhMetaFile, sizeof(header), &header);
        HDC screen = GetDC(nullptr);
        std::string bytes(GetWinMetaFileBits(medium.m.hEnhMetaFile, 0, nullptr, MM_ANISOTROPIC, screen), '\0');
        GetWinMetaFileBits(medium.m.hEnhMetaFile, static_cast<UINT>(bytes.size()),
                           reinterpret_cast<BYTE*>(bytes.data()), MM_ANISOTROPIC, screen);
        ReleaseDC(nullptr, screen);
        const SIZE pixels{MulDiv(header.rclFrame.right - header.rclFrame.left, kPixelsPerInch, kHimetricPerInch),
                          MulDiv(header.rclFrame.bottom - header.rclFrame.top, kPixelsPerInch, kHimetricPerInch)};
        if (bytes.empty() || pixels.cx <= 0 || pixels.cy <= 0)
            return std::nullopt;
        return MetafileRtf(bytes, pixels);
    }
    case CF_METAFILEPICT: {
        Medium medium(data, format, TYMED_MFPICT);
        if (!medium.ok)
            return std::nullopt;
        std::optional<std::string> rtf;
        if (const auto* picture = static_cast<const METAFILEPICT*>(GlobalLock(medium.m.hMetaFilePict))) {
            const SIZE pixels{MulDiv(picture->xExt, kPixelsPerInch, kHimetricPerInch),
                              MulDiv(picture->yExt, kPixelsPerInch, kHimetricPerInch)};
            if (pixels.cx > 0 && pixels.cy > 0)
                rtf = MetafileRtf(MetafileBytes(picture->hMF), pixels);
            GlobalUnlock(medium.m.hMetaFilePict);
        }
        return rtf;
    }
    case CF_HDROP: {
        Medium medium(data, format, TYMED_HGLOBAL);
        return medium.ok ? DroppedImageRtf(medium.m.hGlobal) : std::nullopt;
    }
    default: break;
    }
    Medium medium(data, format, TYMED_HGLOBAL);
    if (!medium.ok)
        return std::nullopt;
    const std::string bytes = GlobalBytes(medium.m.hGlobal);
    return format == CF_DIB ? PackedDibRtf(bytes) : EncodedBytesRtf(bytes);
}
