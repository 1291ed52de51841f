// Document items: the common item, text items, and the built-in non-text kinds.
//
// A document is a flat list of (text, item) pairs. Paragraphs are not objects: an item either
// starts a paragraph or continues the one of the item before it.
//
//   DOCUMENT  = PARAGRAPH*
//   PARAGRAPH = START (ITEM with ContinuesPara or NewLine)*
//   START     = FULL_LINE_ITEM (alone in its paragraph: breaks, tables)
//             | MARKER ITEM+   (a list marker is never the last item of its paragraph)
//             | ITEM
//
// Every item of a paragraph carries the paragraph's ParaNo; the Unicode bit of a text item
// equals the Unicode flag of its text style. Tables and notes own further containers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/CompactString.h"
#include "document/Graphic.h"
#include "document/ImageList.h"
#include "document/StyleUsage.h"
#include "platform/Color.h"

namespace xq {

class TCustomRVData;
class TCustomRVItemInfo;

// Kind codes of non-text items (the StyleNo of an item below zero).
inline constexpr int rvsBreak = -1;
inline constexpr int rvsCheckpoint = -2; ///< file record only
inline constexpr int rvsPicture = -3;
inline constexpr int rvsHotspot = -4;
inline constexpr int rvsComponent = -5;
inline constexpr int rvsBullet = -6;
inline constexpr int rvsBack = -7;        ///< file record only
inline constexpr int rvsVersionInfo = -8; ///< file record only
inline constexpr int rvsDocProperty = -9; ///< file record only
inline constexpr int rvsHotPicture = -10;
inline constexpr int rvsListMarker = -11;
inline constexpr int rvsTab = -12;
inline constexpr int rvsTable = -60;
inline constexpr int rvsLabel = -200;
inline constexpr int rvsSequence = -202;
inline constexpr int rvsFootnote = -203;
inline constexpr int rvsEndnote = -204;
inline constexpr int rvsNoteReference = -205;
/// A text item that takes the default text style of its paragraph style.
inline constexpr int rvsDefStyle = 0x7FFFFFFF;

/// A named position before an item.
class TRVCPInfo {
public:
    std::string Name;
    std::string Tag;
    bool RaiseEvent = false;
    bool Persistent = false;

    // Links kept by the container that holds the item.
    TRVCPInfo* Next = nullptr;
    TRVCPInfo* Prev = nullptr;
    TCustomRVItemInfo* ItemInfo = nullptr;

    /// Name, tag and flags; not the links.
    [[nodiscard]] std::unique_ptr<TRVCPInfo> CreateCopy() const;
};

/// A live-spelling mark: a range of characters inside the item's text.
struct TRVMisspelling {
    int Start = 0; ///< offset of the first character (1-based, as caret offsets)
    int Length = 0;
};

/// Extra properties by number, as files name them.
enum TRVExtraItemProperty : std::uint8_t {
    rvepUnknown,
    rvepVShift,
    rvepVShiftAbs,
    rvepImageWidth,
    rvepImageHeight,
    rvepTransparent,
    rvepTransparentMode,
    rvepTransparentColor,
    rvepMinHeightOnPage,
    rvepSpacing,
    rvepResizable,
    rvepDeleteProtect,
    rvepNoHTMLImageSize,
    rvepAnimationInterval,
    rvepVisible,
};
enum TRVExtraItemStrProperty : std::uint8_t { rvespUnknown, rvespHint, rvespAlt, rvespImageFileName };

/// "vshift", "width", ... and back; unknown names give rvepUnknown / rvespUnknown.
[[nodiscard]] const char* ExtraIntPropertyName(TRVExtraItemProperty prop) noexcept;
[[nodiscard]] const char* ExtraStrPropertyName(TRVExtraItemStrProperty prop) noexcept;
[[nodiscard]] TRVExtraItemProperty FindExtraIntProperty(std::string_view name) noexcept;
[[nodiscard]] TRVExtraItemStrProperty FindExtraStrProperty(std::string_view name) noexcept;

class TCustomRVItemInfo {
public:
    explicit TCustomRVItemInfo(int styleNo) noexcept : StyleNo(styleNo) {}
    virtual ~TCustomRVItemInfo();
    TCustomRVItemInfo(const TCustomRVItemInfo&) = delete;
    TCustomRVItemInfo& operator=(const TCustomRVItemInfo&) = delete;

    /// A text style number (>= 0 or rvsDefStyle), or the kind code of a non-text item.
    std::int32_t StyleNo;
    /// The paragraph style; -1 only as an argument of the add operations.
    std::int32_t ParaNo = 0;
    /// Live-spelling marks, or none; most items never have any. Not stored.
    std::unique_ptr<std::vector<TRVMisspelling>> Misspellings;
    TCompactString Tag;
    TCompactString Hint;
    /// Runtime flags; bit 0 = checked by live spelling. Not stored.
    std::uint8_t State = 0;
    // (The fields are ordered so that an item, of which a document has many, stays small.)

    // ItemOptions: bit 0 ContinuesPara, bit 1 NewPageBefore, bit 2 NewLine, bit 3 Unicode.
    static constexpr std::uint8_t rvioContinuesPara = 1, rvioNewPageBefore = 2, rvioNewLine = 4, rvioUnicode = 8;
    /// The flags that place an item in its paragraph: where it starts a line, a paragraph, a page.
    static constexpr std::uint8_t rvioParagraphFlags = rvioContinuesPara | rvioNewPageBefore | rvioNewLine;

    [[nodiscard]] std::uint8_t ItemOptions() const noexcept { return Options_; }
    /// Raw assignment, as read from a file (the low four bits).
    void SetItemOptions(std::uint8_t options) noexcept { Options_ = options & 0x0F; }
    [[nodiscard]] bool ContinuesPara() const noexcept { return Options_ & rvioContinuesPara; }
    [[nodiscard]] bool NewPageBefore() const noexcept { return Options_ & rvioNewPageBefore; }
    [[nodiscard]] bool NewLine() const noexcept { return Options_ & rvioNewLine; }
    [[nodiscard]] bool IsUnicode() const noexcept { return Options_ & rvioUnicode; }
    /// Setting ContinuesPara clears NewPageBefore and NewLine.
    void SetContinuesPara(bool on) noexcept;
    /// Setting NewPageBefore clears ContinuesPara and NewLine.
    void SetNewPageBefore(bool on) noexcept;
    /// Setting NewLine clears ContinuesPara.
    void SetNewLine(bool on) noexcept;
    void SetUnicode(bool on) noexcept;
    /// Starts a paragraph: neither ContinuesPara nor NewLine.
    [[nodiscard]] bool StartsParagraph() const noexcept { return !(Options_ & (rvioContinuesPara | rvioNewLine)); }

    /// The checkpoint before this item, owned by the item.
    [[nodiscard]] TRVCPInfo* Checkpoint() const noexcept { return Checkpoint_.get(); }
    /// Gives an item that is not in a container a checkpoint to take along.
    void SetCheckpointDescription(std::unique_ptr<TRVCPInfo> cp) noexcept { Checkpoint_ = std::move(cp); }

    // Kind questions.
    [[nodiscard]] bool IsText() const noexcept { return StyleNo >= 0; }
    [[nodiscard]] virtual bool IsFullLine() const noexcept { return false; }
    [[nodiscard]] virtual bool IsJumpKind() const noexcept { return false; }
    [[nodiscard]] virtual bool HasPicture() const noexcept { return false; }
    [[nodiscard]] bool IsListMarker() const noexcept { return StyleNo == rvsListMarker; }

    /// A new item of the same class with the class's defaults.
    [[nodiscard]] virtual std::unique_ptr<TCustomRVItemInfo> CreateEmpty() const = 0;
    /// Copies common fields (StyleNo only from the same class) and, from a source of this class
    /// or a derived one, this class's own data. Not the checkpoint.
    virtual void Assign(const TCustomRVItemInfo& source);
    /// CreateEmpty + Assign, with a copy of the checkpoint when asked.
    [[nodiscard]] std::unique_ptr<TCustomRVItemInfo> CreateCopy(bool withCheckpoint) const;

    /// Extra properties by number; false when this item has no such property. Lengths set here
    /// are clamped into the ranges of document/LengthBounds.h.
    virtual bool GetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t& value) const;
    virtual bool SetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t value);
    virtual bool GetExtraStrProperty(TRVExtraItemStrProperty prop, std::string& value) const;
    virtual bool SetExtraStrProperty(TRVExtraItemStrProperty prop, const std::string& value);

    /// Marks the styles this item refers to (its own containers are walked separately).
    virtual void MarkStylesInUse(TRVStyleUsage& usage) const;
    virtual void UpdateStyles(const TRVStyleRenumbering& map);

    /// Containers owned by this item (table cells, note texts).
    [[nodiscard]] virtual int SubDocumentCount() const noexcept { return 0; }
    [[nodiscard]] virtual TCustomRVData* SubDocument(int index) const noexcept { return nullptr; }

    /// Called after the item was placed at index of owner, and before it leaves owner.
    virtual void OnInserted(TCustomRVData& owner, int index) {}
    virtual void OnRemoving(TCustomRVData& owner) {}

private:
    friend class TCustomRVData;
    friend void NormalizeDocument(TCustomRVData& data);

    std::uint8_t Options_ = 0;
    std::unique_ptr<TRVCPInfo> Checkpoint_;
};

/// Text: the characters are the container entry's string.
class TRVTextItemInfo : public TCustomRVItemInfo {
public:
    explicit TRVTextItemInfo(int styleNo = 0) noexcept : TCustomRVItemInfo(styleNo) {}
    [[nodiscard]] std::unique_ptr<TCustomRVItemInfo> CreateEmpty() const override;
    void MarkStylesInUse(TRVStyleUsage& usage) const override;
    void UpdateStyles(const TRVStyleRenumbering& map) override;
};

class TRVNonTextItemInfo : public TCustomRVItemInfo {
public:
    using TCustomRVItemInfo::TCustomRVItemInfo;

    bool DeleteProtect = false;

    void Assign(const TCustomRVItemInfo& source) override;
    bool GetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t& value) const override;
    bool SetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t value) override;
};

/// Items that fill a line of their own: breaks and tables.
class TRVFullLineItemInfo : public TRVNonTextItemInfo {
public:
    using TRVNonTextItemInfo::TRVNonTextItemInfo;
    [[nodiscard]] bool IsFullLine() const noexcept override { return true; }
};

enum TRVBreakStyle : std::uint8_t { rvbsLine, rvbsRectangle, rvbs3d, rvbsDotted, rvbsDashed };

/// A horizontal line.
class TRVBreakItemInfo : public TRVFullLineItemInfo {
public:
    TRVBreakItemInfo() noexcept : TRVFullLineItemInfo(rvsBreak) {}

    TColor Color = clNone; ///< clNone: the colour of text style 0
    TRVBreakStyle Style = rvbsLine;
    std::uint8_t Width = 1;

    [[nodiscard]] std::unique_ptr<TCustomRVItemInfo> CreateEmpty() const override;
    void Assign(const TCustomRVItemInfo& source) override;
};

/// Vertical placement of inline objects.
enum TRVVAlign : std::uint8_t { rvvaBaseline, rvvaMiddle, rvvaAbsTop, rvvaAbsBottom, rvvaAbsMiddle };

/// Items that sit in a line as a rectangle.
class TRVRectItemInfo : public TRVNonTextItemInfo {
public:
    using TRVNonTextItemInfo::TRVNonTextItemInfo;

    TRVVAlign VAlign = rvvaBaseline;
    std::int32_t VShift = 0;
    bool VShiftAbs = false;
    std::int32_t Spacing = 1;

    void Assign(const TCustomRVItemInfo& source) override;
    bool GetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t& value) const override;
    bool SetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t value) override;
};

/// A tab character; its leader is drawn in TextStyleNo.
class TRVTabItemInfo : public TRVRectItemInfo {
public:
    TRVTabItemInfo() noexcept : TRVRectItemInfo(rvsTab) {}

    std::int32_t TextStyleNo = rvsDefStyle; ///< rvsDefStyle: none

    [[nodiscard]] std::unique_ptr<TCustomRVItemInfo> CreateEmpty() const override;
    void Assign(const TCustomRVItemInfo& source) override;
    void MarkStylesInUse(TRVStyleUsage& usage) const override;
    void UpdateStyles(const TRVStyleRenumbering& map) override;
};

/// An embedded window control, kept as its class name and stored data.
class TRVControlItemInfo : public TRVRectItemInfo {
public:
    TRVControlItemInfo() noexcept : TRVRectItemInfo(rvsComponent) {}

    std::string ControlClassName;
    std::string ControlData;
    std::int32_t MinHeightOnPage = 0;
    bool Resizable = false;
    bool Visible = true;

    [[nodiscard]] std::unique_ptr<TCustomRVItemInfo> CreateEmpty() const override;
    void Assign(const TCustomRVItemInfo& source) override;
    bool GetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t& value) const override;
    bool SetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t value) override;
};

enum TRVTransparentMode : std::uint8_t { tmAuto, tmFixed };

/// A picture.
class TRVGraphicItemInfo : public TRVRectItemInfo {
public:
    TRVGraphicItemInfo() noexcept : TRVRectItemInfo(rvsPicture) {}

    std::unique_ptr<TGraphic> Image;
    std::int32_t ImageWidth = 0;  ///< 0: natural width
    std::int32_t ImageHeight = 0; ///< 0: natural height
    std::int32_t MinHeightOnPage = 0;
    bool Resizable = true;
    bool NoHTMLImageSize = false;
    std::int32_t Interval = 0; ///< animation frame interval
    std::string Alt;
    std::string ImageFileName;
    // Transparency, for bitmap pictures only.
    bool Transparent = false;
    TRVTransparentMode TransparentMode = tmAuto;
    TColor TransparentColor = 0;

    [[nodiscard]] bool HasPicture() const noexcept override { return Image != nullptr; }
    [[nodiscard]] bool IsBitmap() const;

    [[nodiscard]] std::unique_ptr<TCustomRVItemInfo> CreateEmpty() const override;
    void Assign(const TCustomRVItemInfo& source) override;
    bool GetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t& value) const override;
    bool SetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t value) override;
    bool GetExtraStrProperty(TRVExtraItemStrProperty prop, std::string& value) const override;
    bool SetExtraStrProperty(TRVExtraItemStrProperty prop, const std::string& value) override;

protected:
    explicit TRVGraphicItemInfo(int styleNo) noexcept : TRVRectItemInfo(styleNo) {}
};

/// A picture that is a hyperlink.
class TRVHotGraphicItemInfo : public TRVGraphicItemInfo {
public:
    TRVHotGraphicItemInfo() noexcept : TRVGraphicItemInfo(rvsHotPicture) {}
    [[nodiscard]] bool IsJumpKind() const noexcept override { return true; }
    [[nodiscard]] std::unique_ptr<TCustomRVItemInfo> CreateEmpty() const override;
};

/// An image of an image list.
class TRVBulletItemInfo : public TRVRectItemInfo {
public:
    TRVBulletItemInfo() noexcept : TRVRectItemInfo(rvsBullet) {}

    const TRVImageList* ImageList = nullptr; ///< not owned
    /// The tag of the image list as stored, kept while no list is supplied for it.
    std::int32_t ImageListTag = 0;
    std::int32_t ImageIndex = 0;
    bool NoHTMLImageSize = false;

    [[nodiscard]] std::unique_ptr<TCustomRVItemInfo> CreateEmpty() const override;
    void Assign(const TCustomRVItemInfo& source) override;
    bool GetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t& value) const override;
    bool SetExtraIntProperty(TRVExtraItemProperty prop, std::int32_t value) override;

protected:
    explicit TRVBulletItemInfo(int styleNo) noexcept : TRVRectItemInfo(styleNo) {}
};

/// An image-list image that is a hyperlink and changes while hovered.
class TRVHotspotItemInfo : public TRVBulletItemInfo {
public:
    TRVHotspotItemInfo() noexcept : TRVBulletItemInfo(rvsHotspot) {}

    std::int32_t HotImageIndex = 0;

    [[nodiscard]] bool IsJumpKind() const noexcept override { return true; }
    [[nodiscard]] std::unique_ptr<TCustomRVItemInfo> CreateEmpty() const override;
    void Assign(const TCustomRVItemInfo& source) override;
};

} // namespace xq
