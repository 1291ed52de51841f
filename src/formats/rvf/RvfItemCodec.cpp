// The codec registry, the read context's style maps and the extra-property lines.
#include "formats/rvf/RvfItemCodec.h"

#include <map>
#include <mutex>

#include "document/RVStyle.h"

namespace xq {

namespace {

struct TCodecRegistry {
    std::mutex Mutex;
    std::map<int, std::shared_ptr<const TRVFItemCodec>> Codecs;
};

TCodecRegistry& Codecs()
{
    static TCodecRegistry registry;
    return registry;
}

// A style number of the stream through the map of its kind, checked against the collection.
bool MapStyle(std::int32_t& no, const std::optional<TRVIndexMap>& map, int count, TRVFReadContext& ctx)
{
    bool valid = no >= 0;
    if (valid && map) {
        valid = static_cast<std::size_t>(no) < map->size();
        if (valid)
            no = (*map)[static_cast<std::size_t>(no)];
    }
    if (valid && no < count)
        return true;
    ctx.Warnings.Include(WarnStyleOutOfRange);
    if (!ctx.Options.Contains(rvfoConvUnknownStylesToZero))
        return false;
    no = 0;
    return true;
}

} // namespace

void RegisterRvfItemCodec(int styleNo, std::shared_ptr<const TRVFItemCodec> codec)
{
    TCodecRegistry& r = Codecs();
    std::lock_guard lock(r.Mutex);
    r.Codecs[styleNo] = std::move(codec);
}

const TRVFItemCodec* FindRvfItemCodec(int styleNo)
{
    TCodecRegistry& r = Codecs();
    std::lock_guard lock(r.Mutex);
    auto found = r.Codecs.find(styleNo);
    return found == r.Codecs.end() ? nullptr : found->second.get();
}

void TRVFRecordOut::AddField(std::int64_t value)
{
    HeaderTail.push_back(' ');
    HeaderTail += std::to_string(value);
}

bool TRVFInLine::DecodeData(std::string& out) const
{
    if (Binary) {
        out.assign(Bytes);
        return true;
    }
    return DecodeHex(Bytes, out);
}

bool TRVFReadContext::MapTextStyle(std::int32_t& styleNo)
{
    if (styleNo == rvsDefStyle)
        return true;
    return MapStyle(styleNo, TextMap, Sheet.TextStyles.Count(), *this);
}

bool TRVFReadContext::MapParaStyle(std::int32_t& paraNo)
{
    return MapStyle(paraNo, ParaMap, Sheet.ParaStyles.Count(), *this);
}

void TRVFReadContext::MapListStyle(std::int32_t& listNo)
{
    if (listNo < 0)
        return;
    bool valid = true;
    if (ListMap) {
        valid = static_cast<std::size_t>(listNo) < ListMap->size();
        if (valid)
            listNo = (*ListMap)[static_cast<std::size_t>(listNo)];
    }
    if (valid && listNo >= 0 && listNo < Sheet.ListStyles.Count())
        return;
    Warnings.Include(WarnStyleOutOfRange);
    listNo = Sheet.ListStyles.Count() > 0 ? 0 : -1;
}

// ---------------------------------------------------------------------------------------------
// Extra properties

namespace {

void AddIntLine(TRVFRecordOut& record, TRVExtraItemProperty prop, std::int32_t value)
{
    record.AddText(std::string(ExtraIntPropertyName(prop)) + "=" + std::to_string(value));
}

void AddStrLine(TRVFRecordOut& record, TRVExtraItemStrProperty prop, std::string_view utf8)
{
    record.AddText(std::string(ExtraStrPropertyName(prop)) + "=" + ToStreamString(utf8));
}

// An integer property written when it differs from its default.
void AddIfNot(const TCustomRVItemInfo& item, TRVFRecordOut& record, TRVExtraItemProperty prop, std::int32_t def)
{
    std::int32_t value = 0;
    if (item.GetExtraIntProperty(prop, value) && value != def)
        AddIntLine(record, prop, value);
}

} // namespace

void WriteExtraProperties(const TCustomRVItemInfo& item, TRVFRecordOut& record)
{
    if (!item.Hint.empty())
        AddStrLine(record, rvespHint, item.Hint.str());
    AddIfNot(item, record, rvepDeleteProtect, 0);

    if (auto* rect = dynamic_cast<const TRVRectItemInfo*>(&item)) {
        AddIfNot(item, record, rvepVShift, 0);
        AddIfNot(item, record, rvepVShiftAbs, 0);
        if (rect->Spacing != 1)
            AddIntLine(record, rvepSpacing, std::max(0, rect->Spacing));
    }

    if (auto* pic = dynamic_cast<const TRVGraphicItemInfo*>(&item)) {
        AddIfNot(item, record, rvepResizable, 1);
        AddIfNot(item, record, rvepImageWidth, 0);
        AddIfNot(item, record, rvepImageHeight, 0);
        AddIfNot(item, record, rvepMinHeightOnPage, 0);
        AddIfNot(item, record, rvepNoHTMLImageSize, 0);
        AddIfNot(item, record, rvepAnimationInterval, 0);
        if (pic->IsBitmap() && pic->Transparent) {
            AddIntLine(record, rvepTransparent, 1);
            AddIntLine(record, rvepTransparentMode, pic->TransparentMode);
            if (pic->TransparentMode == tmFixed)
                AddIntLine(record, rvepTransparentColor, static_cast<std::int32_t>(pic->TransparentColor));
        }
        if (!pic->ImageFileName.empty())
            AddStrLine(record, rvespImageFileName, pic->ImageFileName);
        if (!pic->Alt.empty())
            AddStrLine(record, rvespAlt, pic->Alt);
    } else if (dynamic_cast<const TRVControlItemInfo*>(&item)) {
        AddIfNot(item, record, rvepMinHeightOnPage, 0);
        AddIfNot(item, record, rvepResizable, 0);
        AddIfNot(item, record, rvepVisible, 1);
    } else if (dynamic_cast<const TRVBulletItemInfo*>(&item)) {
        AddIfNot(item, record, rvepNoHTMLImageSize, 0);
    }
}

void ApplyExtraPropertyLine(TCustomRVItemInfo& item, std::string_view line)
{
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return;
    const std::string_view name = line.substr(0, eq);
    const std::string_view value = line.substr(eq + 1);

    if (const TRVExtraItemStrProperty sprop = FindExtraStrProperty(name); sprop != rvespUnknown) {
        (void)item.SetExtraStrProperty(sprop, FromStreamString(value));
        return;
    }
    const TRVExtraItemProperty prop = FindExtraIntProperty(name);
    std::int32_t v = 0;
    if (prop == rvepUnknown || !ParseInt32(value, v))
        return;
    if (auto* pic = dynamic_cast<TRVGraphicItemInfo*>(&item)) {
        // Transparency lines may come before the picture is known to be a bitmap.
        switch (prop) {
        case rvepTransparent:
            pic->Transparent = v != 0;
            return;
        case rvepTransparentMode:
            pic->TransparentMode = v == 1 ? tmFixed : tmAuto;
            return;
        case rvepTransparentColor:
            pic->TransparentColor = static_cast<TColor>(v);
            return;
        default:
            break;
        }
    }
    (void)item.SetExtraIntProperty(prop, v);
}

} // namespace xq
