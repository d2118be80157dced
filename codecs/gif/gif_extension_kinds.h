#pragma once
// The four kinds of GIF89a extension: graphic control, plain text, comment
// and application (looping, and unknown identifiers kept byte for byte).
#include <array>
#include <string>
#include <vector>

#include "codecs/gif/gif_color_map.h"
#include "codecs/gif/gif_extensions.h"

namespace pc::gif {

class TGIFGraphicControlExtension : public TGIFExtension {
public:
    static constexpr uint8_t kLabel = 0xF9;
    explicit TGIFGraphicControlExtension(TGIFSubImage* frame) : TGIFExtension(frame) {}
    uint8_t GetExtensionType() const override { return kLabel; }

    bool Transparent() const { return (packed_ & 0x01) != 0; }
    void SetTransparent(bool on);
    int TransparentColorIndex() const { return index_; }
    // An index outside the frame's active map warns and stores 0.
    void SetTransparentColorIndex(int index);
    TColor TransparentColor() const;
    void SetTransparentColor(TColor c);
    int Delay() const { return delay_; }
    void SetDelay(int hundredths) { delay_ = uint16_t(hundredths); }
    bool UserInput() const { return (packed_ & 0x02) != 0; }
    void SetUserInput(bool on) { packed_ = uint8_t(on ? packed_ | 0x02 : packed_ & ~0x02); }
    TDisposalMethod Disposal() const { return TDisposalMethod((packed_ >> 2) & 0x07); }
    void SetDisposal(TDisposalMethod d) { packed_ = uint8_t((packed_ & ~0x1C) | (int(d) & 7) << 2); }

protected:
    void SaveData(ByteWriter& w) override;
    void LoadData(ByteReader& r) override;

private:
    uint8_t packed_ = 0;
    uint16_t delay_ = 0;
    uint8_t index_ = 0;
};

class TGIFTextExtension : public TGIFExtension {
public:
    static constexpr uint8_t kLabel = 0x01;
    explicit TGIFTextExtension(TGIFSubImage* frame) : TGIFExtension(frame) {}
    uint8_t GetExtensionType() const override { return kLabel; }

    // Grid fields by index: 1 left, 2 top, 3 width, 4 height.
    int Bounds(int index) const;
    void SetBounds(int index, int value);
    // Cell sizes by index: 1 width, 2 height.
    int CharSize(int index) const;
    void SetCharSize(int index, int value);
    // Colour indices by index: 1 foreground, 2 background.
    int ColorIndex(int index) const;
    void SetColorIndex(int index, int value);
    // Both colours resolve through the frame's active map.
    TColor ForegroundColor() const;
    void SetForegroundColor(TColor c);
    TColor BackgroundColor() const;
    void SetBackgroundColor(TColor c);
    std::vector<std::string>& Text() { return text_; }

protected:
    void SaveData(ByteWriter& w) override;
    void LoadData(ByteReader& r) override;

private:
    std::array<uint8_t, 13> header_{12};
    std::vector<std::string> text_;
};

class TGIFCommentExtension : public TGIFExtension {
public:
    static constexpr uint8_t kLabel = 0xFE;
    explicit TGIFCommentExtension(TGIFSubImage* frame) : TGIFExtension(frame) {}
    uint8_t GetExtensionType() const override { return kLabel; }
    std::vector<std::string>& Text() { return text_; }

protected:
    void SaveData(ByteWriter& w) override { WriteSubBlockText(w, text_); }
    void LoadData(ByteReader& r) override { text_ = ReadSubBlockText(r); }

private:
    std::vector<std::string> text_;
};

class TGIFApplicationExtension : public TGIFExtension {
public:
    static constexpr uint8_t kLabel = 0xFF;
    explicit TGIFApplicationExtension(TGIFSubImage* frame) : TGIFExtension(frame) {}
    uint8_t GetExtensionType() const override { return kLabel; }

    std::string Identifier() const;
    std::string Authentication() const;
    // The first 8 (3) characters, padded with blanks.
    void SetIdentifier(const std::string& id);
    void SetAuthentication(const std::string& auth);

    // Later registrations for the same 11-byte key win.
    static void RegisterExtension(const std::string& idAndAuth, ExtensionFactory factory);
    // Reads the block size and identifier at r and gives the class for them;
    // null when they cannot be read. The caller restores the position.
    static ExtensionFactory FindSubExtension(ByteReader& r);

protected:
    void SaveData(ByteWriter& w) override;
    void LoadData(ByteReader& r) override;
    virtual void SaveAppData(ByteWriter& w) = 0;
    virtual void LoadAppData(ByteReader& r) = 0;
    // The block as read: usually 11 bytes, identifier then authentication.
    std::vector<uint8_t> block_ = std::vector<uint8_t>(11, 0);
};

// Application data this program does not interpret, kept sub-block by sub-block.
class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
    // A damaged block of a known identifier warns "Invalid GIF data" when read.
    explicit TGIFUnknownAppExtension(TGIFSubImage* frame, bool damaged = false)
        : TGIFApplicationExtension(frame), damaged_(damaged)
    {
    }
    std::vector<std::vector<uint8_t>>& Blocks() { return blocks_; }

protected:
    void SaveAppData(ByteWriter& w) override;
    void LoadAppData(ByteReader& r) override;

private:
    std::vector<std::vector<uint8_t>> blocks_;
    bool damaged_;
};

// An extension label without a class of its own: decoders skip what they do
// not know, and this one is kept so that a re-save writes it back.
class TGIFUnknownExtension : public TGIFExtension {
public:
    TGIFUnknownExtension(TGIFSubImage* frame, uint8_t label) : TGIFExtension(frame), label_(label) {}
    uint8_t GetExtensionType() const override { return label_; }
    std::vector<std::vector<uint8_t>>& Blocks() { return blocks_; }

protected:
    void SaveData(ByteWriter& w) override;
    void LoadData(ByteReader& r) override;

private:
    uint8_t label_;
    std::vector<std::vector<uint8_t>> blocks_;
};

// "NETSCAPE2.0" (or "ANIMEXTS1.0") looping block.
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
    explicit TGIFAppExtNSLoop(TGIFSubImage* frame);
    int Loops() const { return loops_; }
    void SetLoops(int n) { loops_ = uint16_t(n); }
    uint32_t BufferSize() const { return bufferSize_; }
    void SetBufferSize(uint32_t n) { bufferSize_ = n; }

protected:
    void SaveAppData(ByteWriter& w) override;
    void LoadAppData(ByteReader& r) override;

private:
    uint16_t loops_ = 0;
    uint32_t bufferSize_ = 0;
};

} // namespace pc::gif
