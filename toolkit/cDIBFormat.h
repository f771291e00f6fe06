// Image file formats the surfaces can import and export besides what the
// system's picture loader reads, and the one such format, RSB.
//
// Every decoder checks each length before it reads and decodes into a
// TDIBImageData first; only a completely decoded picture reaches the
// surface, so a damaged file leaves it as it was.
//
// Window thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace toolkit {

class TAbstractSuperDIB;

// A decoded picture: pixels 0xAARRGGBB, stored order (bottom row first).
struct TDIBImageData {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;
    bool HasAlpha = false;  // the alpha bytes are real: the image is masked
};

// Largest picture an import accepts: 16-bit sides, at most 2^28 pixels.
inline constexpr int64_t kDIBMaxSide = 65535;
inline constexpr int64_t kDIBMaxImportPixels = int64_t(1) << 28;
// Raises EDIBFormatError unless 1 <= w, h <= 65535 and w * h is allowed.
void CheckImportSize(int64_t w, int64_t h);

// Puts a decoded picture into the surface: size, pixels, Masked from
// HasAlpha, then the change event.
void CommitImage(TAbstractSuperDIB& dib, const TDIBImageData& image);

class TDIBFormat {
public:
    virtual ~TDIBFormat() = default;
    virtual std::string Description() const = 0;
    // File dialog filter, "Text (*.ext)|*.ext".
    virtual std::string Filter() const = 0;
    // The extension with its dot, compared without regard to case.
    virtual bool HandlesExtension(std::string_view extension) const = 0;
    // Raises an EDIBError descendant for anything it cannot read.
    virtual TDIBImageData Decode(const uint8_t* data, size_t size) = 0;
    virtual std::vector<uint8_t> Encode(const TAbstractSuperDIB& dib) = 0;

    void Read(TAbstractSuperDIB& dib, const uint8_t* data, size_t size) { CommitImage(dib, Decode(data, size)); }

    // Called after each row read or written: (format, row, rows).
    std::function<void(TDIBFormat&, int, int)> OnProgress;

protected:
    void Progress(int row, int rows) {
        if (OnProgress) OnProgress(*this, row, rows);
    }
};

// The registered formats, created with RSB on first use and freed when the
// program ends.
class TDIBFormats {
public:
    static void Register(std::unique_ptr<TDIBFormat> format);
    static const std::vector<std::unique_ptr<TDIBFormat>>& All();
    // The format for a file name's extension, or none.
    static TDIBFormat* ForFile(std::string_view path);
};

// "Rogue spear bitmap": a 28-byte header of seven u32 (version 1, width,
// height, red, green, blue and alpha bit counts), then 16-bit pixels, top
// row first, blue in the lowest bits, then green, red and alpha.
class TRSBFormat : public TDIBFormat {
public:
    std::string Description() const override { return "Rogue spear bitmap"; }
    std::string Filter() const override { return "Rogue spear bitmap (*.rsb)|*.rsb"; }
    bool HandlesExtension(std::string_view extension) const override;
    TDIBImageData Decode(const uint8_t* data, size_t size) override;
    // Masked images as 4/4/4/4 with alpha, others as 5/6/5.
    std::vector<uint8_t> Encode(const TAbstractSuperDIB& dib) override;
};

}  // namespace toolkit
